#include "rillgeo/navigation_pieces.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "rillgeo/geo_error.h"

namespace rill::geo {

namespace {

struct RowStretch {
  std::int32_t comId = 0;
  double from = 0.0;
  double to = 0.0;
};

RowStretch StretchOf(const ResultRows& results, std::size_t index) {
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
    throw GeoError("result row " + std::to_string(index + 1) + " has no readable Com_id, FromMeasure and ToMeasure");
  }
  if (stretch.from > stretch.to) std::swap(stretch.from, stretch.to);
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

// The point at `measure` on the reach, on the first section holding it.
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

}  // namespace

NavigationPieces CutNavigation(const ResultRows& results, const NetworkTables& tables, const IdMap& ids,
                               const FlowlineLines& lines, GroundCutter& cutter) {
  NavigationPieces pieces;
  std::vector<RowStretch> stretches;
  for (std::size_t i = 0; i < results.rows.size(); ++i) stretches.push_back(StretchOf(results, i));

  for (const RowStretch& row : stretches) {
    auto parts = std::make_unique<OGRMultiLineString>();
    for (const SectionRecord& s : tables.SectionsOf(row.comId)) {
      const double low = std::max(row.from, s.F_meas);
      const double high = std::min(row.to, s.T_meas);
      if (!(high > low) || !(s.T_meas > s.F_meas)) continue;
      const FlowlineLine* flowline = LineOf(s, ids, lines);
      if (flowline == nullptr) continue;
      // Measures count from the downstream end, the line from the upstream one.
      const double span = s.T_meas - s.F_meas;
      auto piece = cutter.Cut(*flowline->line, 1.0 - (high - s.F_meas) / span, 1.0 - (low - s.F_meas) / span);
      if (piece) parts->addGeometryDirectly(piece.release());
    }
    if (parts->getNumGeometries() == 0) {
      ++pieces.rowsWithoutLine;
      pieces.rows.push_back(nullptr);
    } else if (parts->getNumGeometries() == 1) {
      pieces.rows.emplace_back(parts->getGeometryRef(0)->clone());
    } else {
      pieces.rows.push_back(std::move(parts));
    }
  }

  if (!stretches.empty()) {
    const RowStretch& first = stretches.front();
    const RowStretch& last = stretches.back();
    // The walk went upstream when the second reach flows into the first;
    // failing a link between them, when the first row runs up to the top.
    bool upstream = !(first.from == 0.0 && first.to < 100.0);
    if (stretches.size() > 1 && FlowsInto(tables, stretches[1].comId, first.comId)) upstream = true;
    if (stretches.size() > 1 && FlowsInto(tables, first.comId, stretches[1].comId)) upstream = false;
    pieces.start = PointAtMeasure(tables, ids, lines, cutter, first.comId, upstream ? first.from : first.to);
    pieces.end = PointAtMeasure(tables, ids, lines, cutter, last.comId, upstream ? last.to : last.from);
  }
  return pieces;
}

}  // namespace rill::geo
