// Small river networks built in memory, and a network walk over them with
// its run log captured.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "navstate/nav_state.h"
#include "network/network_tables.h"
#include "tests/support/net_fixture.h"

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

// A whole-network walk from `code` at `measure` in `direction`; by default
// from the top of the reach downstream, from its bottom upstream.
WalkRequest WalkFrom(std::string_view code, const char* direction, double measure);
inline WalkRequest Downstream(const char* code, double measure = 100.0) { return WalkFrom(code, "D", measure); }
inline WalkRequest Upstream(const char* code, double measure = 0.0) { return WalkFrom(code, "U", measure); }

using Ids = std::vector<std::int32_t>;

struct WalkOutcome {
  NavState state;
  std::string log;
  Ids ComIds() const;  // of the result records, in order
};

WalkOutcome Walk(const NetworkTables& tables, const WalkRequest& request);

// The text of an "Output Com_id" line as the result builder writes it.
std::string OutputLine(std::int32_t comId, const char* code, double from, double to, double travel, double length);

}  // namespace rill::netwalk_testing
