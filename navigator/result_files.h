#pragma once

#include <ostream>
#include <string>

#include "navigation/navigation.h"
#include "navigator/command_line_fields.h"

namespace rill {

// Writes the result CSV and ccode.txt of a navigation. Returns the exit
// status: 0, or 3 when an output file could not be written completely (then
// no ccode.txt is left beside a broken CSV, and the log and `errors` say
// which file).
int WriteResultFiles(const Navigation& navigation, const CommandLineFields& fields, TextWriter& log,
                     std::ostream& errors);

// A single run's ending: writes the result files of the navigation, then the
// special-case block of its log. Returns the exit status as WriteResultFiles.
int WriteRunEnding(const Navigation& navigation, const CommandLineFields& fields, TextWriter& log,
                   std::ostream& errors);

}  // namespace rill
