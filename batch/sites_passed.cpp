#include "batch/sites_passed.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "text/format.h"
#include "text/number_text.h"

namespace rill {

namespace {

// A distance as FEATURES prints it, read back: the order sites are listed in.
double PrintedDistance(double distance) {
  std::string digits;
  AppendFixed(digits, distance, 0, 4);
  return ReadDecimal(digits.c_str());
}

// A site at the very start of its passage is at no distance at all, not at
// a rounding error below it.
double NotBelowZero(double distance) { return distance < 0.0 && distance > -0.00005 ? 0.0 : distance; }

}  // namespace

bool ReadFeatureMatch(std::string_view word, FeatureMatch& match) {
  if (word == "exact") {
    match = FeatureMatch::Exact;
    return true;
  }
  if (word == "reach") {
    match = FeatureMatch::Reach;
    return true;
  }
  return false;
}

std::vector<PassedSite> SitesPassed(const Navigation& navigation, const PlacedSites& sites, FeatureMatch match) {
  std::vector<PassedSite> found;
  for (std::size_t i = 0; i < navigation.rows.size(); ++i) {
    const ResultRow& written = navigation.rows[i];
    const auto [first, last] = sites.On(written.reachIndex);
    if (first == last) continue;
    const ResultRow row = PrintedRow(written);
    const double low = std::min(row.fromMeasure, row.toMeasure);
    const double high = std::max(row.fromMeasure, row.toMeasure);
    for (const PlacedSite* site = first; site != last; ++site) {
      double distance = row.distance - row.length;
      if (match == FeatureMatch::Exact && site->hasMeasure) {
        // The site is read to the digits the rows print: a walk that starts
        // at a site's own measure passes it, whichever way that measure
        // rounds in the first row. One within that rounding outside the
        // row stands at the row's end.
        const double printed = PrintedMeasure(site->measure);
        if (!(printed >= low && printed <= high)) continue;
        const double m = std::clamp(site->measure, low, high);
        if (row.fromMeasure != row.toMeasure)
          distance =
              row.distance - row.length * std::fabs(row.toMeasure - m) / std::fabs(row.toMeasure - row.fromMeasure);
        else
          distance = row.distance;
      }
      distance = NotBelowZero(distance);
      found.push_back(PassedSite{site, i, distance, PrintedDistance(distance)});
    }
  }
  // Each site once, at its first row: rows were visited in order.
  std::stable_sort(found.begin(), found.end(),
                   [](const PassedSite& a, const PassedSite& b) { return a.site < b.site; });
  found.erase(std::unique(found.begin(), found.end(),
                          [](const PassedSite& a, const PassedSite& b) { return a.site == b.site; }),
              found.end());
  std::sort(found.begin(), found.end(), [](const PassedSite& a, const PassedSite& b) {
    if (a.printedDistance != b.printedDistance) return a.printedDistance < b.printedDistance;
    if (a.row != b.row) return a.row < b.row;
    return a.site->row < b.site->row;
  });
  return found;
}

}  // namespace rill
