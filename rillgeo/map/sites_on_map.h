// The sites a drawn navigation passes, placed on the map: the same sites and
// distances as the batch's FEATURES gives for the same rows, each at its
// point on the flowlines.
#pragma once

#include <ogr_geometry.h>

#include <string>
#include <vector>

#include "batch/site_table.h"
#include "batch/sites_passed.h"
#include "rillgeo/geometry/navigation_pieces.h"

namespace rill::geo {

struct SiteMark {
  OGRPoint point;
  std::string id;
  std::string request;    // the request that passed it; empty in a single run's CSV
  double distance = 0.0;  // travel distance from the start, as FEATURES prints it
};

// The sites each navigation of `results` passes, in each navigation's
// order of distance. A site with a measure is marked at that measure; one
// without (or any, under the reach rule) where its first row begins. A site
// whose point has no line is left out; a row whose Com_id or numbers cannot
// be read was already refused by CutNavigation.
std::vector<SiteMark> MarkSitesPassed(const ResultRows& results, const NavigationPieces& pieces,
                                      const NetworkTables& tables, const IdMap& ids, const FlowlineLines& lines,
                                      GroundCutter& cutter, const SiteTable& table, const PlacedSites& sites,
                                      FeatureMatch match);

}  // namespace rill::geo
