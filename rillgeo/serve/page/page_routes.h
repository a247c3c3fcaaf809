// The map page of `rillgeo serve`: the page itself at `/`, its fixed list of
// assets (the page's script and style, Leaflet as Debian ships it), and the
// page's own JSON routes under `/page/`, which draw the network by bounding
// box. The page navigates through the `/linked-data` routes only.
//
// This room may call the geometry layer (rillgeo/geometry/) and the
// navigation interface below it, never another command nor the program. It
// never prints and never exits: a bad request is answered 400 with a JSON
// body naming what is wrong; nothing a URL holds reaches a file path.
#pragma once

#include <string>
#include <vector>

#include "navigation/navigation.h"
#include "rillgeo/geometry/flowline_lines.h"
#include "rillgeo/geometry/id_map.h"

namespace httplib {
class Server;
}

namespace rill::geo {

// What the page draws from, loaded once by the command and read only
// while the server runs; the pointers outlive the server.
struct PageSources {
  const NetworkTables* tables;           // the loaded tables (network/)
  const IdMap* ids;                      // rillgeo/geometry/id_map.h
  const FlowlineLines* lines;            // rillgeo/geometry/flowline_lines.h
  std::vector<std::string> siteSources;  // the NAMEs of --features, in order
};

// Adds `/`, the page's assets and its JSON routes to `server`. The routes
// keep what they need of `sources` (an index of the lines built here, once);
// the pointers in `sources` must outlive the server.
void AddPageRoutes(httplib::Server& server, const PageSources& sources);

}  // namespace rill::geo
