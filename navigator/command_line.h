#pragma once

#include <string>
#include <string_view>

#include "navigator/command_line_fields.h"

namespace rill {

// Longest command line and longest file path a run accepts.
inline constexpr std::size_t kMaxCommandLine = 999;
inline constexpr std::size_t kMaxPath = kMaxPathLength;

// Cuts the command line into its 14 fields (runs of commas count as one,
// empty fields vanish, text after the 14th field is ignored) and converts
// them, or says why the line cannot be used (Unusable, its message for
// standard error).
StatusOr<CommandLineFields> ParseCommandLine(std::string_view commandLine);

// The run-log header that opens message.out.
void WriteRequestHeader(const CommandLineFields& fields, TextWriter& log);

}  // namespace rill
