#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace rill {

// What a single run did, for someone watching it in a terminal: the files
// are what callers read, this is what a person is told at the end.
struct RunSummary {
  int status = 0;                  // the exit status the run ends with
  bool navigated = false;          // a navigation ran and its result files were written
  std::size_t rows = 0;            // lines of the result CSV after its header
  std::string ccode;               // the four status digits of ccode.txt
  std::vector<std::string> notes;  // why the digits are not all 0
  std::string csvPath;
  std::string logPath;  // the run log; empty when it could not be created
};

// The one closing line (without its line end) for a run that completed or
// could not open a table; empty for a run that already said on its error
// stream why it stopped (an unusable command line, an output not written).
std::string RunSummaryLine(const RunSummary& summary);

}  // namespace rill
