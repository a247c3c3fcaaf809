#include "rillgeo/map/sites_on_map.h"

#include <algorithm>
#include <cstdlib>

namespace rill::geo {

namespace {

double Field(const std::vector<std::string>& row, int column) {
  return column >= 0 ? std::strtod(row[column].c_str(), nullptr) : 0.0;
}

// The rows [first, next) as the navigation that wrote them, the reaches
// found in `tables` (a row of a reach they lack keeps index -1 and passes
// no site).
Navigation RowsAsNavigation(const ResultRows& results, std::size_t first, std::size_t next,
                            const NetworkTables& tables) {
  Navigation navigation;
  for (std::size_t i = first; i < next; ++i) {
    const std::vector<std::string>& row = results.rows[i];
    ResultRow r;
    r.comId = static_cast<std::int32_t>(std::strtol(row[results.comId].c_str(), nullptr, 10));
    r.reachIndex = tables.FindReachByComId(r.comId);
    if (r.reachIndex >= 0) r.reach = &tables.reaches()[static_cast<std::size_t>(r.reachIndex)];
    r.fromMeasure = Field(row, results.fromMeasure);
    r.toMeasure = Field(row, results.toMeasure);
    r.distance = Field(row, results.distance);
    r.length = Field(row, results.length);
    navigation.rows.push_back(r);
  }
  return navigation;
}

}  // namespace

std::vector<SiteMark> MarkSitesPassed(const ResultRows& results, const NavigationPieces& pieces,
                                      const NetworkTables& tables, const IdMap& ids, const FlowlineLines& lines,
                                      GroundCutter& cutter, const SiteTable& table, const PlacedSites& sites,
                                      FeatureMatch match) {
  std::vector<SiteMark> marks;
  for (std::size_t n = 0; n < pieces.navigations.size(); ++n) {
    const NavigationEnds& ends = pieces.navigations[n];
    const std::size_t next =
        n + 1 < pieces.navigations.size() ? pieces.navigations[n + 1].firstRow : results.rows.size();
    const Navigation navigation = RowsAsNavigation(results, ends.firstRow, next, tables);
    for (const PassedSite& passed : SitesPassed(navigation, sites, match)) {
      const ResultRow& row = navigation.rows[passed.row];
      // Where the passage of the row begins: a walk upstream enters a reach at
      // its lower measure, a walk downstream at its upper one.
      const double begins =
          ends.upstream ? std::min(row.fromMeasure, row.toMeasure) : std::max(row.fromMeasure, row.toMeasure);
      const bool atMeasure = match == FeatureMatch::Exact && passed.site->hasMeasure;
      const auto point =
          PointAtMeasure(tables, ids, lines, cutter, row.comId, atMeasure ? passed.site->measure : begins);
      if (!point) continue;
      marks.push_back(SiteMark{*point, table.rows[static_cast<std::size_t>(passed.site->row)].id, ends.request,
                               passed.printedDistance});
    }
  }
  return marks;
}

}  // namespace rill::geo
