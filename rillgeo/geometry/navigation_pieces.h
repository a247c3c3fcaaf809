// The lines of a navigation: every result row's stretch of its reach, cut
// out of the flowlines that make up the reach.
#pragma once

#include <ogr_geometry.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "navigation/navigation.h"
#include "rillgeo/geometry/flowline_lines.h"
#include "rillgeo/geometry/ground_cutter.h"
#include "rillgeo/geometry/id_map.h"
#include "rillgeo/geometry/results_file.h"

namespace rill::geo {

// Where one navigation of the results began and ended. A batch RESULTS
// file holds one per request (a run of rows with the same Request), a
// single run's CSV one.
struct NavigationEnds {
  std::size_t firstRow = 0;
  std::string request;            // empty for a single run's CSV
  std::optional<OGRPoint> start;  // where the navigation began
  std::optional<OGRPoint> end;    // where its farthest row (its last without Distance) ends
  bool upstream = true;           // whether the walk went against the flow
};

struct NavigationPieces {
  // One geometry per result row, in row order: a line string, a multi line
  // string where the row spans several flowlines, nullptr where no line of
  // the row's reach was found or the row has no length.
  std::vector<std::unique_ptr<OGRGeometry>> rows;
  std::vector<NavigationEnds> navigations;  // in row order
  // The rows whose reach has no line at all in the source (neither the
  // reach in the tables nor its sections' flowlines found), in row order.
  std::vector<std::size_t> rowsWithoutLine;
};

// Where the Request column of a batch RESULTS file stands; -1 in a single
// run's CSV.
int RequestColumn(const ResultRows& results);

// The point at `measure` on the reach `comId`, on the first of its sections
// that holds it and has a line; none when no such section has.
std::optional<OGRPoint> PointAtMeasure(const NetworkTables& tables, const IdMap& ids, const FlowlineLines& lines,
                                       GroundCutter& cutter, std::int32_t comId, double measure);

// Cuts the rows of `results` out of `lines`. A row's reach is found in
// `tables` by Com_id, its sections' flowlines by their nodes (translated by
// `ids`); a measure is a share of the flowline's ground length from its
// downstream end. A fault for a row whose Com_id or measures are not
// numbers (Fault::InputMissing), or the cutter's when a line could not be
// measured.
StatusOr<NavigationPieces> CutNavigation(const ResultRows& results, const NetworkTables& tables, const IdMap& ids,
                                         const FlowlineLines& lines, GroundCutter& cutter);

}  // namespace rill::geo
