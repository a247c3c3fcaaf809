#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rill {

// Splits the arguments part of a Windows command line (the program's name
// already removed) as the Windows C runtime splits it into argv: blanks and
// tabs separate arguments, double quotes group, "" inside quotes is one
// quote, 2n backslashes before a quote give n backslashes and the quote
// groups, 2n+1 give n backslashes and a literal quote.
std::vector<std::string> SplitWindowsArguments(std::string_view line);

// The command line a run works with on Windows. Callers that quote an
// argument holding blanks send a line that begins (after blanks) with a
// double quote: its arguments are split as the C runtime splits them and
// joined with single blanks, as the arguments are joined elsewhere. Any
// other line is returned verbatim, so callers that pass the raw line keep
// working byte for byte.
std::string CommandLineFromWindows(std::string_view line);

}  // namespace rill
