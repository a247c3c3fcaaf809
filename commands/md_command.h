#pragma once

#include <iosfwd>
#include <string_view>
#include <vector>

namespace rill::commands {

// Splits a command line on "," the way strtok does: runs of commas count as
// one separator, leading commas are skipped and no field is ever empty. The
// line ends at its first zero byte, as a C string would.
std::vector<std::string_view> SplitCommandFields(std::string_view commandLine);

// Runs one command line ("md,<folder>" is the only command known). A folder
// that cannot be created is reported with one line on `err`; every other
// line does nothing. Returns the process exit status, which is always 0.
int RunCommand(std::string_view commandLine, std::ostream& err);

}  // namespace rill::commands
