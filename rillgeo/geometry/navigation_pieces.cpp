#include "rillgeo/geometry/navigation_pieces.h"

#include <strings.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace rill::geo {

namespace {

struct RowStretch {
  std::int32_t comId = 0;
  double from = 0.0;
  double to = 0.0;
  double distance = 0.0;  // travel distance to the end of the row; 0 without the column
};

StatusOr<RowStretch> StretchOf(const ResultRows& results, std::size_t index) {
  const std::vector<std::string>& row = results.rows[index];
  RowStretch stretch;
  const std::string& id = row[results.comId];
  const auto parsed = std::from_chars(id.data(), id.data() + id.size(), stretch.comId);
  char* end = nullptr;
  stretch.from = std::strtod(row[results.fromMeasure].c_str(), &end);
  const bool fromRead = end != row[results.fromMeasure].c_str() && *end == '\0';
  stretch.to = std::strtod(row[results.toMeasure].c_str(), &end);
  const bool toRead = end != row[results.toMeasure].c_str() && *end == '\0';
  if (parsed.ec != std::errc() || parsed.ptr != id.data() + id.size() || !fromRead || !toRead) {
    return Status(Fault::InputMissing,
                  "result row " + std::to_string(index + 1) + " has no readable Com_id, FromMeasure and ToMeasure");
  }
  if (stretch.from > stretch.to) std::swap(stretch.from, stretch.to);
  if (results.distance >= 0) stretch.distance = std::strtod(row[results.distance].c_str(), nullptr);
  return stretch;
}

const FlowlineLine* LineOf(const SectionRecord& section, const IdMap& ids, const FlowlineLines& lines) {
  return lines.Find(ids.SourceNode(section.Fnode), ids.SourceNode(section.Tnode), ids.SourceComId(section.Com_id));
}

// Whether water runs from reach `upper` straight into reach `lower`.
bool FlowsInto(const NetworkTables& tables, std::int32_t upper, std::int32_t lower) {
  const auto rows = tables.RowsFrom(upper);
  return std::any_of(rows.begin(), rows.end(), [&](std::int32_t i) { return tables.flows()[i].Com_id2 == lower; });
}

// The start and end of the navigation of rows [first, next).
NavigationEnds EndsOf(const std::vector<RowStretch>& stretches, std::size_t first, std::size_t next,
                      const NetworkTables& tables, const IdMap& ids, const FlowlineLines& lines, GroundCutter& cutter) {
  NavigationEnds ends;
  ends.firstRow = first;
  const RowStretch& head = stretches[first];
  // The end is where the walk went farthest: a network walk writes its
  // branches after the main path, so its last row may end anywhere.
  std::size_t farthest = next - 1;
  for (std::size_t i = first; i < next; ++i)
    if (stretches[i].distance > stretches[farthest].distance) farthest = i;
  const RowStretch& last = stretches[farthest];
  // The walk went upstream when the second reach flows into the first;
  // failing a link between them, when the first row runs up to the top.
  bool upstream = !(head.from == 0.0 && head.to < 100.0);
  if (next - first > 1 && FlowsInto(tables, stretches[first + 1].comId, head.comId)) upstream = true;
  if (next - first > 1 && FlowsInto(tables, head.comId, stretches[first + 1].comId)) upstream = false;
  ends.upstream = upstream;
  ends.start = PointAtMeasure(tables, ids, lines, cutter, head.comId, upstream ? head.from : head.to);
  ends.end = PointAtMeasure(tables, ids, lines, cutter, last.comId, upstream ? last.to : last.from);
  return ends;
}

}  // namespace

std::optional<OGRPoint> PointAtMeasure(const NetworkTables& tables, const IdMap& ids, const FlowlineLines& lines,
                                       GroundCutter& cutter, std::int32_t comId, double measure) {
  for (const SectionRecord& s : tables.SectionsOf(comId)) {
    if (measure < s.F_meas || measure > s.T_meas || !(s.T_meas > s.F_meas)) continue;
    const FlowlineLine* flowline = LineOf(s, ids, lines);
    OGRPoint point;
    if (flowline != nullptr &&
        cutter.PointAt(*flowline->line, 1.0 - (measure - s.F_meas) / (s.T_meas - s.F_meas), point)) {
      return point;
    }
  }
  return std::nullopt;
}

int RequestColumn(const ResultRows& results) {
  for (std::size_t i = 0; i < results.columns.size(); ++i) {
    if (strcasecmp(results.columns[i].c_str(), "Request") == 0) return static_cast<int>(i);
  }
  return -1;
}

StatusOr<NavigationPieces> CutNavigation(const ResultRows& results, const NetworkTables& tables, const IdMap& ids,
                                         const FlowlineLines& lines, GroundCutter& cutter) {
  NavigationPieces pieces;
  std::vector<RowStretch> stretches;
  for (std::size_t i = 0; i < results.rows.size(); ++i) {
    StatusOr<RowStretch> stretch = StretchOf(results, i);
    if (!stretch.ok()) return stretch.status();
    stretches.push_back(*stretch);
  }

  for (std::size_t i = 0; i < stretches.size(); ++i) {
    const RowStretch& row = stretches[i];
    auto parts = std::make_unique<OGRMultiLineString>();
    bool reachHasLine = false;
    for (const SectionRecord& s : tables.SectionsOf(row.comId)) {
      const FlowlineLine* flowline = LineOf(s, ids, lines);
      if (flowline == nullptr) continue;
      reachHasLine = true;
      const double low = std::max(row.from, s.F_meas);
      const double high = std::min(row.to, s.T_meas);
      if (!(high > low) || !(s.T_meas > s.F_meas)) continue;
      // Measures count from the downstream end, the line from the upstream one.
      const double span = s.T_meas - s.F_meas;
      auto piece = cutter.Cut(*flowline->line, 1.0 - (high - s.F_meas) / span, 1.0 - (low - s.F_meas) / span);
      if (piece) parts->addGeometryDirectly(piece.release());
    }
    if (!reachHasLine) pieces.rowsWithoutLine.push_back(i);
    if (parts->getNumGeometries() == 0) {
      pieces.rows.push_back(nullptr);
    } else if (parts->getNumGeometries() == 1) {
      pieces.rows.emplace_back(parts->getGeometryRef(0)->clone());
    } else {
      pieces.rows.push_back(std::move(parts));
    }
  }

  // Each request's rows follow one another; a single run's CSV is one navigation.
  const int request = RequestColumn(results);
  for (std::size_t first = 0; first < stretches.size();) {
    std::size_t next = first + 1;
    const std::string id = request >= 0 ? results.rows[first][request] : std::string();
    while (next < stretches.size() && (request < 0 || results.rows[next][request] == id)) ++next;
    pieces.navigations.push_back(EndsOf(stretches, first, next, tables, ids, lines, cutter));
    pieces.navigations.back().request = id;
    first = next;
  }
  if (!cutter.status().ok()) return cutter.status();
  return pieces;
}

}  // namespace rill::geo
