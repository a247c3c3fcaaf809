#include "navigation/result_rows.h"

#include <cstring>

namespace rill {

bool KeepsRecord(const Navigation& navigation, const ReachRecord& reach, const ResultRecord& record) {
  if (navigation.boundary == UnitBoundary::Nothing) return false;
  if (navigation.boundary == UnitBoundary::SameUnit &&
      std::strncmp(reach.Rch_code, navigation.boundaryCode.c_str(), 8) != 0)
    return false;
  return record.FromMeasure != record.ToMeasure;
}

void WriteResultLines(const NetworkTables& tables, const Navigation& navigation, std::string_view linePrefix,
                      TextWriter& out) {
  ForEachResultRow(tables, navigation, [&](const ResultRow& row) {
    out.Write(linePrefix);
    out.Print("\"%s\",%10d,\"%s\",%d,%10.3f,%10.3f,%20.4f,%10.4f\n", row.reach->Code(), row.Com_id, row.reach->Date(),
              row.reach->Duu_id, row.FromMeasure, row.ToMeasure, row.Distance, row.RchLength);
  });
}

void WriteSpecialCases(const NavState& state, TextWriter& log) {
  const SpecialCaseList& specials = state.specials;
  if (specials.entries().empty()) return;
  log.Write("Special Cases\n");
  for (const SpecialCaseRecord& s : specials.entries())
    log.Print("Com_id: %d, f_meas: %10.5f, t_meas: %10.5f, meters: %f\n", s.Com_id, s.f_meas, s.t_meas, s.meters);
}

std::string StatusDigits(const NavState& state, NavKind kind) {
  std::string code = "0000";
  if (HasDistanceLimit(kind) && state.noNextReach == 1) code[0] = '1';
  if (kind == NavKind::PointToPoint && state.noNextReach == 1) code[1] = '1';
  if (state.startBlocked == 1)
    code[2] = '1';
  else if (state.lakeNoMainpathSeen == 1)
    code[2] = '2';
  else if (state.divergenceSeen == 1)
    code[2] = '3';
  else if (state.branchFallbackUsed == 1)
    code[2] = '4';
  return code;
}

void AddStatusNotes(Navigation& navigation, std::string_view startCode) {
  const std::string& code = navigation.ccode;
  if (code.size() != 4) return;
  std::vector<std::string>& notes = navigation.notes;
  // A request the checks refused has said why already.
  const bool refusedByChecks = !notes.empty();
  if (code[0] == '1') notes.emplace_back("The walk came to a reach with no way on before the distance was met");
  if (code[1] == '1') notes.emplace_back("The end reach was not met, walking from either point");
  switch (code[2]) {
    case '1':
      if (!refusedByChecks)
        notes.emplace_back("The start reach " + std::string(startCode) +
                           " is a branched or lake reach that this navigation cannot start on here");
      break;
    case '2':
      notes.emplace_back("The walk passed a lake reach with no main path");
      break;
    case '3':
      notes.emplace_back("The walk passed a divergence");
      break;
    case '4':
      notes.emplace_back("The walk entered a branched reach against its flow");
      break;
    default:
      break;
  }
}

}  // namespace rill
