#include "test_network.h"

#include <cstdio>
#include <utility>

#include "netwalk/netwalk.h"

namespace rill::netwalk_testing {

TestNetwork& TestNetwork::Reach(std::int32_t comId, const char* code, std::int32_t meters, std::int16_t branched) {
  ReachRecord r;
  r.Com_id = comId;
  std::snprintf(r.Rch_code, sizeof r.Rch_code, "%s", code);
  std::snprintf(r.Rch_date, sizeof r.Rch_date, "%s", "20000101");
  r.Meters = meters;
  r.Duu_id = comId;
  r.Branched = branched;
  reaches_.push_back(r);
  return *this;
}

TestNetwork& TestNetwork::Flow(std::int32_t from, std::int32_t to, double sequence, std::int32_t dir,
                               std::int32_t dLevel, std::int16_t orig710) {
  FlowRecord f;
  f.Rel_com_Id = static_cast<std::int32_t>(flows_.size()) + 1;
  f.Com_id1 = from;
  f.Com_id2 = to;
  f.Sequence = sequence;
  f.Dir = dir;
  f.DLevel = dLevel;
  f.Orig710 = orig710;
  flows_.push_back(f);
  return *this;
}

TestNetwork& TestNetwork::Section(std::int32_t comId, double fMeas, double tMeas, std::int32_t meters,
                                  std::int32_t fnode, std::int32_t tnode) {
  sections_.push_back({fMeas, tMeas, fnode, tnode, comId, meters});
  return *this;
}

NetworkTables TestNetwork::Build() const {
  NetworkTables tables;
  for (const SectionRecord& s : sections_) tables.AppendSection(s);
  tables.SealSections();
  for (const FlowRecord& f : flows_) tables.AppendFlow(f);
  tables.SealFlows();
  for (const ReachRecord& r : reaches_) tables.AppendReach(r);
  tables.SealReaches();
  return tables;
}

Ids WalkOutcome::ComIds() const {
  Ids ids;
  for (const ResultRecord& r : state.results.records()) ids.push_back(r.Com_id);
  return ids;
}

WalkRequest WalkFrom(std::string_view code, const char* direction, double measure) {
  WalkRequest request;
  request.startCode = std::string(code);
  request.direction = direction;
  request.startMeasure = measure;
  return request;
}

WalkOutcome Walk(const NetworkTables& tables, const WalkRequest& request) {
  testing::Pass pass(tables);
  pass.state().coastmain = request.coastmain;
  WalkNetwork(pass.ctx(),
              testing::LegacyWalk(tables, request.navType, request.startCode, request.startMeasure, "", 0.0,
                                  request.direction, request.distance, request.units, request.wholeReachStartMode));
  WalkOutcome outcome;
  outcome.log = pass.Log();
  outcome.state = std::move(pass.state());
  return outcome;
}

std::string OutputLine(std::int32_t comId, const char* code, double from, double to, double travel, double length) {
  char line[400];
  std::snprintf(line, sizeof line,
                "Output Com_id: %d, Rch_code: %s, From Measure: %10.2f, To Measure: %10.2f, TravelDistance: %20.5f, "
                "Reach Length: %10.5f\n",
                comId, code, from, to, travel, length);
  return line;
}

}  // namespace rill::netwalk_testing
