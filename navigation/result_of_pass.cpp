#include "navigation/result_of_pass.h"

#include <cstring>
#include <utility>

namespace rill {

namespace {

bool KeepsRecord(const PassEnding& ending, const ReachRecord& reach, const ResultRecord& record) {
  if (ending.boundary == UnitBoundary::Nothing) return false;
  if (ending.boundary == UnitBoundary::SameUnit && std::strncmp(reach.Rch_code, ending.boundaryCode.c_str(), 8) != 0)
    return false;
  // A passage without extent is no row.
  return record.FromMeasure != record.ToMeasure;
}

std::vector<ResultRow> RowsOf(const NetworkTables& tables, const std::vector<ResultRecord>& records,
                              const PassEnding& ending) {
  std::vector<ResultRow> rows;
  if (records.empty()) return rows;
  rows.reserve(records.size());
  const bool reversed = ending.pointsSwapped;
  const ResultRecord& last = records.back();
  for (std::size_t k = 0; k < records.size(); ++k) {
    const ResultRecord& r = records[reversed ? records.size() - 1 - k : k];
    const ReachRecord& reach = tables.reaches()[static_cast<std::size_t>(r.reach)];
    if (!KeepsRecord(ending, reach, r)) continue;
    // Reversed, the distance counts from the far end of the last record.
    const double distance = reversed ? last.TravelDistance - r.TravelDistance + r.RchLength : r.TravelDistance;
    rows.push_back(ResultRow{&reach, r.reach, r.Com_id, reversed ? r.ToMeasure : r.FromMeasure,
                             reversed ? r.FromMeasure : r.ToMeasure, distance, r.RchLength});
  }
  return rows;
}

StatusDigits DigitsOf(const NavState& state, NavKind kind) {
  using Passage = StatusDigits::Passage;
  Passage passage = Passage::Clear;
  if (state.startBlocked == 1)
    passage = Passage::StartBlocked;
  else if (state.lakeNoMainpathSeen == 1)
    passage = Passage::LakeWithoutMainPath;
  else if (state.divergenceSeen == 1)
    passage = Passage::Divergence;
  else if (state.branchFallbackUsed == 1)
    passage = Passage::BranchAgainstFlow;
  return StatusDigits(HasDistanceLimit(kind) && state.noNextReach == 1,
                      kind == NavKind::PointToPoint && state.noNextReach == 1, passage);
}

// Adds why the status digits are not all 0.
void AddStatusNotes(const StatusDigits& digits, std::string_view startCode, std::vector<std::string>& notes) {
  // A request the checks refused has said why already.
  const bool refusedByChecks = !notes.empty();
  if (digits.limitNotMet()) notes.emplace_back("The walk came to a reach with no way on before the distance was met");
  if (digits.endNotMet()) notes.emplace_back("The end reach was not met, walking from either point");
  switch (digits.passage()) {
    case StatusDigits::Passage::StartBlocked:
      if (!refusedByChecks)
        notes.emplace_back("The start reach " + std::string(startCode) +
                           " is a branched or lake reach that this navigation cannot start on here");
      break;
    case StatusDigits::Passage::LakeWithoutMainPath:
      notes.emplace_back("The walk passed a lake reach with no main path");
      break;
    case StatusDigits::Passage::Divergence:
      notes.emplace_back("The walk passed a divergence");
      break;
    case StatusDigits::Passage::BranchAgainstFlow:
      notes.emplace_back("The walk entered a branched reach against its flow");
      break;
    case StatusDigits::Passage::Clear:
      break;
  }
}

}  // namespace

Navigation ResultOfPass(const NetworkTables& tables, NavState& state, const PassEnding& ending,
                        std::vector<std::string> notes) {
  Navigation navigation;
  navigation.pointsSwapped = ending.pointsSwapped;
  const std::vector<ResultRecord>& records = state.results.records();
  navigation.passages = records.size();
  navigation.rows = RowsOf(tables, records, ending);
  state.results = ResultList{};
  navigation.pieces.reserve(state.specials.entries().size());
  for (const SpecialCaseRecord& s : state.specials.entries())
    navigation.pieces.push_back(ReachPiece{s.Com_id, s.f_meas, s.t_meas, s.meters});
  state.specials = SpecialCaseList{};
  const StatusDigits digits = DigitsOf(state, ending.kind);
  navigation.notes = std::move(notes);
  AddStatusNotes(digits, ending.startCode, navigation.notes);
  navigation.digits = digits;
  return navigation;
}

}  // namespace rill
