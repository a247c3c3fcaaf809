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

struct Candidate {
  PassedSite passed;
  double printed = 0.0;
};

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
  std::vector<Candidate> found;
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
        if (!(site->measure >= low && site->measure <= high)) continue;
        if (row.fromMeasure != row.toMeasure)
          distance = row.distance -
                     row.length * std::fabs(row.toMeasure - site->measure) / std::fabs(row.toMeasure - row.fromMeasure);
        else
          distance = row.distance;
      }
      distance = NotBelowZero(distance);
      found.push_back(Candidate{PassedSite{site, i, distance}, PrintedDistance(distance)});
    }
  }
  // Each site once, at its first row: rows were visited in order.
  std::stable_sort(found.begin(), found.end(),
                   [](const Candidate& a, const Candidate& b) { return a.passed.site < b.passed.site; });
  found.erase(std::unique(found.begin(), found.end(),
                          [](const Candidate& a, const Candidate& b) { return a.passed.site == b.passed.site; }),
              found.end());
  std::sort(found.begin(), found.end(), [](const Candidate& a, const Candidate& b) {
    if (a.printed != b.printed) return a.printed < b.printed;
    if (a.passed.row != b.passed.row) return a.passed.row < b.passed.row;
    return a.passed.site->row < b.passed.site->row;
  });
  std::vector<PassedSite> passed;
  passed.reserve(found.size());
  for (const Candidate& c : found) passed.push_back(c.passed);
  return passed;
}

}  // namespace rill
