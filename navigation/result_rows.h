// The rows of a navigation as its callers give them: in the order of the
// walk (or from the far end when the points were exchanged), the records
// outside the unit boundary and those without extent left out.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "navigation/navigate.h"

namespace rill {

// The header line of the result CSV, line end included.
inline constexpr std::string_view kResultHeader =
    "\"Rch_code\",\"Com_id\",\"Rch_date\",\"Duu_id\",\"FromMeasure\",\"ToMeasure\",\"Distance\",\"RchLength\"\n";

// One row, in the request's units.
struct ResultRow {
  const ReachRecord* reach = nullptr;
  std::int32_t Com_id = 0;
  double FromMeasure = 0.0;
  double ToMeasure = 0.0;
  double Distance = 0.0;
  double RchLength = 0.0;
};

// Whether a record of this reach stands among the rows.
bool KeepsRecord(const Navigation& navigation, const ReachRecord& reach, const ResultRecord& record);

// Calls `visit` with every row, in order.
template <typename Visit>
void ForEachResultRow(const NetworkTables& tables, const Navigation& navigation, Visit&& visit) {
  const std::vector<ResultRecord>& records = navigation.state.results.records();
  if (records.empty()) return;
  const bool reversed = navigation.pointsSwapped;
  const ResultRecord& last = records.back();
  for (std::size_t k = 0; k < records.size(); ++k) {
    const ResultRecord& r = records[reversed ? records.size() - 1 - k : k];
    const ReachRecord& reach = tables.reaches()[static_cast<std::size_t>(r.reach)];
    if (!KeepsRecord(navigation, reach, r)) continue;
    // Reversed, the distance counts from the far end of the last record.
    const double distance = reversed ? last.TravelDistance - r.TravelDistance + r.RchLength : r.TravelDistance;
    visit(ResultRow{&reach, r.Com_id, reversed ? r.ToMeasure : r.FromMeasure, reversed ? r.FromMeasure : r.ToMeasure,
                    distance, r.RchLength});
  }
}

// Writes one CSV line per row (no header), each after `linePrefix`.
void WriteResultLines(const NetworkTables& tables, const Navigation& navigation, std::string_view linePrefix,
                      TextWriter& out);

// The special-case block that closes the run log, when there are pieces.
void WriteSpecialCases(const NavState& state, TextWriter& log);

// The four status digits of a pass of this kind.
std::string StatusDigits(const NavState& state, NavKind kind);

// Adds to the navigation's notes why its status digits are not all 0.
void AddStatusNotes(Navigation& navigation, std::string_view startCode);

}  // namespace rill
