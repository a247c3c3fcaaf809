#include "test_network.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

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

std::vector<std::int32_t> WalkOutcome::ComIds() const {
  std::vector<std::int32_t> ids;
  for (const ResultRecord& r : state.results.records()) ids.push_back(r.Com_id);
  return ids;
}

LogCapture::LogCapture() {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = test == nullptr ? "netwalk" : std::string(test->test_suite_name()) + "_" + test->name();
  for (char& c : name)
    if (c == '/') c = '_';
  std::random_device random;
  path_ = (std::filesystem::temp_directory_path() / (name + "_" + std::to_string(random()) + ".log")).string();
  if (!writer_.Open(path_)) ADD_FAILURE() << "cannot create " << path_;
}

LogCapture::~LogCapture() {
  writer_.Close();
  std::error_code ignored;
  std::filesystem::remove(path_, ignored);
}

std::string LogCapture::Text() {
  writer_.Close();
  std::ifstream in(path_, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

WalkOutcome Walk(const NetworkTables& tables, const WalkRequest& request) {
  WalkOutcome outcome;
  outcome.state.coastmain = request.coastmain;
  LogCapture capture;
  NavContext ctx{tables, outcome.state, capture.writer()};
  WalkNetwork(ctx, request.navType, request.startCode, request.startMeasure, request.direction, request.distance,
              request.units, request.wholeReachStartMode);
  outcome.log = capture.Text();
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
