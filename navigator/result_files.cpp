#include "navigator/result_files.h"

#include "navigator/exit_status.h"

namespace rill {

namespace {

bool WriteCsv(const Navigation& navigation, const std::string& path) {
  TextWriter csv;
  if (!csv.Open(path)) return false;
  // A walk that passed reaches has a header, even when the boundary keeps no row.
  if (navigation.passages > 0) {
    csv.Write(kResultHeader);
    WriteResultLines(navigation.rows, "", csv);
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

int WriteResultFiles(const Navigation& navigation, const CommandLineFields& fields, TextWriter& log,
                     std::ostream& errors) {
  const std::string csvPath = fields.PathOf(fields.OutFile);
  const std::string codePath = fields.PathOf("ccode.txt");
  // No status may stand beside a broken CSV, not even one of an earlier
  // run: the status of this run is written only once its CSV is complete.
  // Something other than a file where the status goes (a folder, say) is
  // left alone and the status counts as not written.
  const bool codePathFree = ClearStaleFile(codePath);
  if (!WriteCsv(navigation, csvPath)) {
    ReportUnwritten(log, errors, csvPath);
    return kExitOutputFailed;
  }
  if (!codePathFree || !WriteText(codePath, std::string(navigation.digits->text()) + "\n")) {
    ReportUnwritten(log, errors, codePath);
    ClearStaleFile(codePath);
    return kExitOutputFailed;
  }
  return kExitCompleted;
}

int WriteRunEnding(const Navigation& navigation, const CommandLineFields& fields, TextWriter& log,
                   std::ostream& errors) {
  const int status = WriteResultFiles(navigation, fields, log, errors);
  WriteSpecialCases(navigation, log);
  return status;
}

}  // namespace rill
