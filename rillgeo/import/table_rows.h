// The three tables as the import builds them, before they are written.
// Identifiers are 64-bit here: the source's own, until renumbering makes
// them fit the tables' 32-bit fields.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rill::geo {

struct ReachRow {
  std::int64_t comId = 0;
  std::string code;
  std::string date;
  std::int64_t level = 0;
  std::int64_t meters = 0;
  std::int64_t duuId = 0;  // Hydroseq
};

struct SectionRow {
  double fromMeas = 0.0;
  double toMeas = 0.0;
  std::int64_t fromNode = 0;
  std::int64_t toNode = 0;
  std::int64_t comId = 0;
  std::int64_t meters = 0;
};

// A flow row by the way the water runs: from `leaving` into `entering`
// (leaving 0 for a headwater row).
struct FlowRow {
  std::int64_t leaving = 0;
  std::int64_t entering = 0;
  std::int64_t sequence = 0;
  int dir = 709;
  int dLevel = 0;
};

struct ImportedTables {
  std::vector<ReachRow> reaches;
  std::vector<SectionRow> sections;
  std::vector<FlowRow> flows;  // in file order once SortFlowRows ran
};

// Puts flow rows in file order: Dir 714, then 712, then 709 and 710
// together; inside a group by leaving reach, DLevel, entering reach.
void SortFlowRows(std::vector<FlowRow>& flows);

}  // namespace rill::geo
