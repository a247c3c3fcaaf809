// The page's files, built into the program: the page, its script and style,
// and Leaflet as Debian ships it. A URL only ever picks one of this fixed
// list by name; no file is read while the program serves.
#pragma once

#include <string_view>

namespace rill::geo {

struct PageAsset {
  std::string_view name;  // below /page/assets/, e.g. "leaflet.js", "images/layers.png"
  std::string_view body;
};

// The asset called `name`, or nullptr when there is none.
const PageAsset* FindPageAsset(std::string_view name);

// The content type an asset is answered with, from its name's ending.
std::string_view PageAssetType(std::string_view name);

}  // namespace rill::geo
