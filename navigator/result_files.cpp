#include "navigator/result_files.h"

#include <cstdio>
#include <cstring>
#include <iostream>

#include "text/stale_file.h"

namespace rill {

namespace {

// Which records the CSV keeps, by the first 8 characters of their codes.
bool PassesBoundary(const ReachRecord& reach, const std::string& reference, std::int16_t endAtBoundary) {
  if (endAtBoundary == 0) return true;
  if (endAtBoundary != 1) return false;
  return std::strncmp(reach.Rch_code, reference.c_str(), 8) == 0;
}

bool WriteCsv(const NetworkTables& tables, const Navigation& navigation, const NavRequest& request,
              const std::string& path) {
  TextWriter csv;
  if (!csv.Open(path)) return false;
  if (!navigation.state.results.records().empty()) {
    csv.Write(kResultHeader);
    WriteResultLines(tables, navigation, request, "", csv);
  }
  return csv.Close();
}

bool WriteText(const std::string& path, const std::string& text) {
  TextWriter file;
  if (!file.Open(path)) return false;
  file.Write(text);
  return file.Close();
}

void ReportUnwritten(TextWriter& log, const std::string& path) {
  log.Print("The output file %s could not be written\n", path);
  std::cerr << "The output file " << path << " could not be written\n";
}

}  // namespace

void WriteResultLines(const NetworkTables& tables, const Navigation& navigation, const NavRequest& request,
                      std::string_view linePrefix, TextWriter& out) {
  const std::vector<ResultRecord>& records = navigation.state.results.records();
  if (records.empty()) return;
  const bool reversed = navigation.pointsSwapped;
  const ResultRecord& last = records.back();
  const std::string& reference = reversed ? request.EndReach : request.StartReach;
  for (std::size_t k = 0; k < records.size(); ++k) {
    const ResultRecord& r = records[reversed ? records.size() - 1 - k : k];
    const ReachRecord& reach = tables.reaches()[static_cast<std::size_t>(r.reach)];
    if (!PassesBoundary(reach, reference, request.EndAtCUBoundary)) continue;
    if (r.FromMeasure == r.ToMeasure) continue;
    // Reversed, the distance counts from the far end of the last record.
    double distance = reversed ? last.TravelDistance - r.TravelDistance + r.RchLength : r.TravelDistance;
    out.Write(linePrefix);
    out.Print("\"%s\",%10d,\"%s\",%d,%10.3f,%10.3f,%20.4f,%10.4f\n", reach.Code(), r.Com_id, reach.Date(), reach.Duu_id,
              reversed ? r.ToMeasure : r.FromMeasure, reversed ? r.FromMeasure : r.ToMeasure, distance, r.RchLength);
  }
}

std::string StatusCode(const NavState& state, std::int32_t navType) {
  std::string code = "0000\n";
  if ((navType == 3 || navType == 4) && state.noNextReach == 1) code[0] = '1';
  if (navType == 5 && state.noNextReach == 1) code[1] = '1';
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

int WriteResultFiles(const NetworkTables& tables, const Navigation& navigation, const NavRequest& request,
                     TextWriter& log) {
  const std::string csvPath = request.PathOf(request.OutFile);
  const std::string codePath = request.PathOf("ccode.txt");
  // No status may stand beside a broken CSV, not even one of an earlier
  // run: the status of this run is written only once its CSV is complete.
  // Something other than a file where the status goes (a folder, say) is
  // left alone and the status counts as not written.
  const bool codePathFree = ClearStaleFile(codePath);
  if (!WriteCsv(tables, navigation, request, csvPath)) {
    ReportUnwritten(log, csvPath);
    return 3;
  }
  if (!codePathFree || !WriteText(codePath, StatusCode(navigation.state, request.NavType))) {
    ReportUnwritten(log, codePath);
    ClearStaleFile(codePath);
    return 3;
  }
  return 0;
}

int WriteRunEnding(const NetworkTables& tables, const Navigation& navigation, const NavRequest& request,
                   TextWriter& log) {
  const int status = WriteResultFiles(tables, navigation, request, log);
  WriteSpecialCases(navigation.state, log);
  return status;
}

void WriteSpecialCases(const NavState& state, TextWriter& log) {
  const SpecialCaseList& specials = state.specials;
  if (specials.entries().empty()) return;
  log.Write("Special Cases\n");
  for (const SpecialCaseRecord& s : specials.entries())
    log.Print("Com_id: %d, f_meas: %10.5f, t_meas: %10.5f, meters: %f\n", s.Com_id, s.f_meas, s.t_meas, s.meters);
}

}  // namespace rill
