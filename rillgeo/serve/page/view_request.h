// A request of the page for the flowlines of a view, read from the
// parameters of its URL: `bbox=west,south,east,north` (degrees), `zoom`
// (the map's zoom level, 0 to 22) and an optional `limit` on the count.
#pragma once

#include <cstddef>
#include <map>
#include <string>

#include "rillgeo/serve/page/view_index.h"
#include "text/status.h"

namespace rill::geo {

// The most flowlines one answer holds, and the default.
constexpr std::size_t kMaxViewLines = 5000;
constexpr std::size_t kDefaultViewLines = 3000;

struct ViewRequest {
  LonLatBox box;
  int zoom = 0;
  std::size_t limit = kDefaultViewLines;

  // The span in degrees of longitude of one pixel at this zoom (tiles of
  // 256 pixels): points of a line closer than that are merged.
  double PixelSpan() const;
  // The least network above a flowline, in degrees, for it to be drawn at
  // this zoom: the span of 40 pixels, so that far out only the rivers
  // show and close in every stream.
  double MinUpstream() const { return 40.0 * PixelSpan(); }
};

// Reads the parameters (name to value, as the server parsed them). A fault
// (Fault::Unusable) says what is wrong in a line for the caller's answer: a
// missing bbox or zoom, a figure that is not a finite number, a box outside
// -180..180 and -90..90 or with its west past its east or south past its
// north, a zoom or limit outside its range.
StatusOr<ViewRequest> ReadViewRequest(const std::multimap<std::string, std::string>& params);

}  // namespace rill::geo
