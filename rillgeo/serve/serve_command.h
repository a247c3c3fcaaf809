// rillgeo serve: the tables, the flowlines' lines and the site tables loaded
// once and answered over HTTP until Ctrl-C or SIGTERM.
//
// The room holds the loaded network (served_network.h), the routes of the
// public linked-data service (linked_data_routes.h) and the map page
// (page/). It stands on the geometry layer and the batch's site tables,
// and fails by returning a Status; only the HTTP library throws, and that
// is caught where its calls enter our code.
#pragma once

#include <functional>
#include <string>

#include "rillgeo/serve/serve_options.h"
#include "text/status.h"

namespace rill::geo {

// What the program hears while the service runs: one line per event
// (loaded, listening, stopping), without its line end.
using ServeLog = std::function<void(const std::string&)>;

// Loads the sources, listens on options.bind:options.port and answers until
// the process gets SIGINT or SIGTERM; Ok then. A fault when a source cannot
// be read (Fault::InputMissing), a --features entry is not NAME=SITES or
// names a source twice (Fault::Unusable), or the address cannot be bound
// (Fault::Failed).
Status RunServe(const ServeOptions& options, const ServeLog& log);

}  // namespace rill::geo
