#pragma once

#include <iosfwd>
#include <string_view>
#include <vector>

namespace rill::commands {

// Splits a command line on "," the way strtok does: runs of commas count as
// one separator, leading commas are skipped and no field is ever empty. The
// line ends at its first zero byte, as a C string would.
std::vector<std::string_view> SplitCommandFields(std::string_view commandLine);

// What `commands --help` prints.
inline constexpr const char* kCommandsUsage =
    "Usage: commands md,<folder>\n"
    "Creates the folder (one level; its parent must exist). The command line is one comma-separated string;\n"
    "any other command, or none, does nothing. The exit status is always 0; a folder that cannot be created\n"
    "is reported with one line on standard error.\n";

// Whether the command line asks for the usage: exactly `--help` or `-h`.
bool IsHelpRequest(std::string_view commandLine);

// Runs one command line ("md,<folder>" is the only command known). A folder
// that cannot be created is reported with one line on `err`; every other
// line does nothing. Returns the process exit status, which is always 0.
int RunCommand(std::string_view commandLine, std::ostream& err);

}  // namespace rill::commands
