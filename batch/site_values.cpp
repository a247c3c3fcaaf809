#include "batch/site_values.h"

#include <limits>

namespace rill {

namespace {

class SiteChunk : public OutcomeSink::Chunk {
 public:
  SiteChunk(const NetworkSites& sites, FeatureMatch match) : sites_(sites), match_(match) {}
  void Add(const RequestOutcome& outcome) override {
    const std::int64_t at = count++;
    if (outcome.navigation.rows.empty() || outcome.tables.get() != sites_.tables) return;
    values.Add(at, outcome.navigation, SitesPassed(outcome.navigation, *sites_.placed, match_));
  }
  void Clear() override {
    values = SiteValues();
    count = 0;
  }

  SiteValues values;
  std::int64_t count = 0;

 private:
  const NetworkSites& sites_;
  FeatureMatch match_;
};

}  // namespace

void SiteValues::Add(std::int64_t requestAt, const Navigation& navigation, const std::vector<PassedSite>& passed) {
  for (const PassedSite& p : passed) {
    const ResultRow& r = navigation.rows[p.row];
    request.push_back(requestAt);
    row.push_back(p.site->row);
    comId.push_back(r.comId);
    reach.push_back(r.reach);
    measure.push_back(p.site->hasMeasure ? p.site->measure : std::numeric_limits<double>::quiet_NaN());
    distance.push_back(p.printedDistance);
  }
}

std::unique_ptr<OutcomeSink::Chunk> SiteValuesSink::NewChunk() { return std::make_unique<SiteChunk>(sites_, match_); }

Status SiteValuesSink::Take(Chunk& chunk) {
  auto& c = static_cast<SiteChunk&>(chunk);
  for (std::size_t i = 0; i < c.values.row.size(); ++i) {
    values.request.push_back(taken_ + c.values.request[i]);
    values.row.push_back(c.values.row[i]);
    values.comId.push_back(c.values.comId[i]);
    values.reach.push_back(c.values.reach[i]);
    values.measure.push_back(c.values.measure[i]);
    values.distance.push_back(c.values.distance[i]);
  }
  taken_ += c.count;
  return Status::Ok();
}

}  // namespace rill
