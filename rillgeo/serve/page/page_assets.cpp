#include "rillgeo/serve/page/page_assets.h"

#include <span>

namespace rill::geo {

// Made by the build from the asset files (embed_assets.cmake).
std::span<const PageAsset> EmbeddedPageAssets();

const PageAsset* FindPageAsset(std::string_view name) {
  for (const PageAsset& asset : EmbeddedPageAssets()) {
    if (asset.name == name) return &asset;
  }
  return nullptr;
}

std::string_view PageAssetType(std::string_view name) {
  if (name.ends_with(".html")) return "text/html; charset=utf-8";
  if (name.ends_with(".js")) return "text/javascript; charset=utf-8";
  if (name.ends_with(".css")) return "text/css; charset=utf-8";
  if (name.ends_with(".png")) return "image/png";
  return "application/octet-stream";
}

}  // namespace rill::geo
