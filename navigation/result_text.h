// A navigation's result as text: the one place where the rows, digits,
// notes and pieces become the lines of the result CSV, ccode.txt, the run
// log's special-case block and a batch's STATUS, for every program.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "navigation/navigation_result.h"
#include "text/text_writer.h"

namespace rill {

// The header line of the result CSV, line end included.
inline constexpr std::string_view kResultHeader =
    "\"Rch_code\",\"Com_id\",\"Rch_date\",\"Duu_id\",\"FromMeasure\",\"ToMeasure\",\"Distance\",\"RchLength\"\n";

// The header line of a batch's STATUS, line end included.
inline constexpr std::string_view kStatusHeader = "\"Request\",\"Status\",\"ccode\",\"Message\"\n";

// Appends one row as its CSV line, line end included.
void AppendResultLine(std::string& out, const ResultRow& row);

// Writes one CSV line per row (no header), each after `linePrefix`.
void WriteResultLines(std::span<const ResultRow> rows, std::string_view linePrefix, TextWriter& out);

// The special-case block that closes the run log, when there are pieces.
void WriteSpecialCases(const Navigation& navigation, TextWriter& log);

// A field of a CSV the programs write: in double quotes, a quote inside doubled.
std::string QuotedField(std::string_view text);

// The notes as one message, joined by "; ".
std::string NotesMessage(const Navigation& navigation);

// One line of a batch's STATUS: the request's id, its status, its ccode
// (empty: none) and its message (empty: none), line end included.
std::string StatusLine(std::string_view id, int status, std::string_view ccode, std::string_view message);

// A row's numbers as a reader of its CSV line gets them back: each rounded
// to the digits the line prints (measures 3, distances 4), exactly as
// printf rounds and strtod reads.
ResultRow PrintedRow(const ResultRow& row);

// A measure as a row prints it (3 digits), read back the same way.
double PrintedMeasure(double measure);

}  // namespace rill
