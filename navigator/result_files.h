#pragma once

#include <string>
#include <string_view>

#include "navigator/nav_request.h"
#include "navigator/navigate.h"
#include "navstate/nav_state.h"

namespace rill {

// The header line of the result CSV, line end included.
inline constexpr std::string_view kResultHeader =
    "\"Rch_code\",\"Com_id\",\"Rch_date\",\"Duu_id\",\"FromMeasure\",\"ToMeasure\",\"Distance\",\"RchLength\"\n";

// Writes one CSV line per passage kept (no header), each after `linePrefix`.
void WriteResultLines(const NetworkTables& tables, const Navigation& navigation, const NavRequest& request,
                      std::string_view linePrefix, TextWriter& out);

// Writes the result CSV and ccode.txt of a navigation. Returns the exit
// status: 0, or 3 when an output file could not be written completely (then
// no ccode.txt is left beside a broken CSV, and the log says which file).
int WriteResultFiles(const NetworkTables& tables, const Navigation& navigation, const NavRequest& request,
                     TextWriter& log);

// A single run's ending: writes the result files of the navigation, then the
// special-case block of its log. Returns the exit status as WriteResultFiles.
int WriteRunEnding(const NetworkTables& tables, const Navigation& navigation, const NavRequest& request,
                   TextWriter& log);

// The special-case block that closes the run log, when there are pieces.
void WriteSpecialCases(const NavState& state, TextWriter& log);

// The four status digits and line end of ccode.txt.
std::string StatusCode(const NavState& state, std::int32_t navType);

}  // namespace rill
