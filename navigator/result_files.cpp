#include "navigator/result_files.h"

#include "navigator/exit_status.h"

namespace rill {

namespace {

bool WriteCsv(const NetworkTables& tables, const Navigation& navigation, const std::string& path) {
  TextWriter csv;
  if (!csv.Open(path)) return false;
  if (!navigation.state.results.records().empty()) {
    csv.Write(kResultHeader);
    WriteResultLines(tables, navigation, "", csv);
  }
  return csv.Close();
}

bool WriteText(const std::string& path, const std::string& text) {
  TextWriter file;
  if (!file.Open(path)) return false;
  file.Write(text);
  return file.Close();
}

void ReportUnwritten(TextWriter& log, std::ostream& errors, const std::string& path) {
  log.Print("The output file %s could not be written\n", path);
  errors << "The output file " << path << " could not be written\n";
}

}  // namespace

int WriteResultFiles(const NetworkTables& tables, const Navigation& navigation, const CommandLineFields& fields,
                     TextWriter& log, std::ostream& errors) {
  const std::string csvPath = fields.PathOf(fields.OutFile);
  const std::string codePath = fields.PathOf("ccode.txt");
  // No status may stand beside a broken CSV, not even one of an earlier
  // run: the status of this run is written only once its CSV is complete.
  // Something other than a file where the status goes (a folder, say) is
  // left alone and the status counts as not written.
  const bool codePathFree = ClearStaleFile(codePath);
  if (!WriteCsv(tables, navigation, csvPath)) {
    ReportUnwritten(log, errors, csvPath);
    return kExitOutputFailed;
  }
  if (!codePathFree || !WriteText(codePath, navigation.ccode + "\n")) {
    ReportUnwritten(log, errors, codePath);
    ClearStaleFile(codePath);
    return kExitOutputFailed;
  }
  return kExitCompleted;
}

int WriteRunEnding(const NetworkTables& tables, const Navigation& navigation, const CommandLineFields& fields,
                   TextWriter& log, std::ostream& errors) {
  const int status = WriteResultFiles(tables, navigation, fields, log, errors);
  WriteSpecialCases(navigation.state, log);
  return status;
}

}  // namespace rill
