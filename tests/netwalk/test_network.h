// Small river networks built in memory, and a network walk over them with
// its run log captured.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "navigator/nav_state.h"
#include "network/network_tables.h"

namespace rill::netwalk_testing {

// Collects reaches, flow rows and sections in any order and seals them in
// load order. Rel_com_Id counts from 1 in the order the rows are added.
class TestNetwork {
 public:
  TestNetwork& Reach(std::int32_t comId, const char* code, std::int32_t meters, std::int16_t branched = 0);
  TestNetwork& Flow(std::int32_t from, std::int32_t to, double sequence = 0.0, std::int32_t dir = 709,
                    std::int32_t dLevel = 0, std::int16_t orig710 = 0);
  TestNetwork& Section(std::int32_t comId, double fMeas, double tMeas, std::int32_t meters, std::int32_t fnode = 0,
                       std::int32_t tnode = 0);
  NetworkTables Build() const;

 private:
  std::vector<ReachRecord> reaches_;
  std::vector<FlowRecord> flows_;
  std::vector<SectionRecord> sections_;
};

// The request of one walk; the defaults are a whole-network walk without limit.
struct WalkRequest {
  std::int32_t navType = 2;
  std::string startCode;
  double startMeasure = 0.0;
  std::string direction = "U";
  double distance = -1.0;
  std::string units = "";
  std::int16_t wholeReachStartMode = 0;
  std::int16_t coastmain = 0;
};

struct WalkOutcome {
  NavState state;
  std::string log;
  std::vector<std::int32_t> ComIds() const;  // of the result records, in order
};

// Captures what a TextWriter writes through a file in the temp folder.
class LogCapture {
 public:
  LogCapture();
  ~LogCapture();
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;
  TextWriter& writer() { return writer_; }
  // Closes the writer and answers everything written.
  std::string Text();

 private:
  std::string path_;
  TextWriter writer_;
};

WalkOutcome Walk(const NetworkTables& tables, const WalkRequest& request);

// The text of an "Output Com_id" line as the result builder writes it.
std::string OutputLine(std::int32_t comId, const char* code, double from, double to, double travel, double length);

}  // namespace rill::netwalk_testing
