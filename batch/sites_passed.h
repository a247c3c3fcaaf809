// The sites a navigation passes, and how far along the river each one is
// from the start: a function of the navigation's rows (as they print) and
// the sites placed on its tables, so that it runs on any worker and gives
// the same answer on any number of threads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "batch/site_table.h"
#include "navigation/navigation.h"

namespace rill {

// Which sites a navigation passes.
enum class FeatureMatch {
  // A site with a measure is passed by a row of its reach whose From and To
  // measures hold it (both ends included); one without a measure by any
  // row of its reach.
  Exact,
  // Every site on a reach the navigation passes, as one without a measure.
  Reach,
};

// Reads "exact" or "reach"; false for any other word.
bool ReadFeatureMatch(std::string_view word, FeatureMatch& match);

// A site passed: the first row (in the order written) that passes it, and
// its travel distance from the start in the request's units.
struct PassedSite {
  const PlacedSite* site = nullptr;
  std::size_t row = 0;
  double distance = 0.0;
  double printedDistance = 0.0;  // as FEATURES prints it (4 decimals), read back
};

// The sites `navigation` passes, in the order of their distance as printed
// (to 4 decimals), then of their row, then of the site table.
//
// The rows are read as printed (measures to 3 decimals, distances to 4), and
// so is a site's measure m when it is tested against a row's ends: a walk
// from a site's own measure passes it. A site passed by a row from F to T
// with Distance D and RchLength L is at D - L * |T - m'| / |T - F| (D where F
// equals T), m' being m, or the row's nearer end for a site that only its
// rounding put on the row; a site
// without a measure, or any site under the Reach rule, is at D - L of the
// first row of its reach. A walk that ends exactly at a junction writes no
// row of the reach beyond it, so passes none of that reach's sites.
std::vector<PassedSite> SitesPassed(const Navigation& navigation, const PlacedSites& sites, FeatureMatch match);

}  // namespace rill
