// `map --per-request`: each request of a batch RESULTS file drawn on a page
// of its own (and in a GeoJSON file of its own), with an index page.
#pragma once

#include <string>
#include <vector>

#include "rillgeo/geometry/navigation_pieces.h"
#include "rillgeo/map/request_status.h"
#include "rillgeo/map/sites_on_map.h"
#include "text/status.h"

namespace rill::geo {

// One request's rows and their pieces.
struct RequestPieces {
  std::string id;
  ResultRows results;
  NavigationPieces pieces;
  std::vector<SiteMark> sites;  // the sites it passes, with --features
};

// Cuts each request's rows apart, in the order the requests first appear.
// A fault (Fault::InputMissing) when `results` has no Request column, or as
// CutNavigation.
StatusOr<std::vector<RequestPieces>> CutPerRequest(const ResultRows& results, const NetworkTables& tables,
                                                   const IdMap& ids, const FlowlineLines& lines, GroundCutter& cutter);

struct PerRequestOutput {
  std::string folder;    // created when missing
  bool geojson = false;  // a GeoJSON file per request beside its page
  std::string unit;      // of the distances, for the legends and the index
  std::string source;    // the RESULTS file's name, for the titles
  // The batch's STATUS lines, when it has them: each request's status and
  // message, and the requests that left no row.
  std::vector<RequestStatus> status;
  // With the batch's REQUESTS: why a site was not snapped, by request id.
  std::unordered_map<std::string, std::string> notes;
};

// Writes FOLDER/<stem>.html (and <stem>.geojson) per request, the stems
// made from the ids by SafeFileStems, then FOLDER/index.html listing every
// request (id, rows, length navigated with one decimal, and with STATUS its
// status and message) linked to its page, then the requests of STATUS that
// left no row (a site not snapped, an unknown start) with why. Each file is
// replaced only when complete; a fault (Fault::OutputFailed) when one
// cannot be written, the files before it left written.
Status WritePerRequestMaps(const std::vector<RequestPieces>& requests, const FlowlineLines& network,
                           const PerRequestOutput& output);

}  // namespace rill::geo
