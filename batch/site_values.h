// The sites a navigation passes, for the packages that make data frames: a
// site table placed once on a network, and a sink of the batch engine that
// keeps the sites each request passes as values, found on the workers and
// gathered in request order. A package joins them to the site table's own
// frame.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "batch/outcome_sink.h"
#include "batch/sites_passed.h"

namespace rill {

// A site table placed on the tables of one network.
struct NetworkSites {
  std::shared_ptr<const SiteTable> table;
  std::shared_ptr<const PlacedSites> placed;
  const LoadedTables* tables = nullptr;  // the tables they were placed on
};

// The sites passed, one entry each, in the order FEATURES lists them.
struct SiteValues {
  std::vector<std::int64_t> request;  // the request's position, from 0 (a batch only)
  std::vector<std::int64_t> row;      // the site's row in the site table, from 0
  std::vector<std::int64_t> comId;
  std::vector<const ReachRecord*> reach;
  std::vector<double> measure;   // the site's measure; NaN without one
  std::vector<double> distance;  // as FEATURES prints it, read back

  void Add(std::int64_t requestAt, const Navigation& navigation, const std::vector<PassedSite>& passed);
};

// A batch's sink of the sites passed. Requests of other table folders
// than the network's pass none of its sites.
class SiteValuesSink : public OutcomeSink {
 public:
  SiteValuesSink(const NetworkSites& sites, FeatureMatch match) : sites_(sites), match_(match) {}
  std::unique_ptr<Chunk> NewChunk() override;
  Status Take(Chunk& chunk) override;

  SiteValues values;

 private:
  const NetworkSites& sites_;
  FeatureMatch match_;
  std::int64_t taken_ = 0;
};

}  // namespace rill
