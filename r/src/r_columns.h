// Between R's vectors and the engine's values: the columns of an R data
// frame as the text fields a requests or site table holds, and the rows,
// statuses and sites the engine found as R vectors and data frames, made
// from the records (no text in between but the codes and dates).
#pragma once

#include <Rcpp.h>

#include <string>
#include <string_view>
#include <vector>

#include "batch/batch.h"

namespace rill::r {

// A table of text fields: its header and its records.
struct TextTable {
  std::vector<std::string> header;
  std::vector<std::vector<std::string>> records;
};

// The columns of an R data frame (a list of character, numeric, integer or
// logical vectors of one length) as the fields of a CSV table: NA an empty
// field, a number the shortest text that reads back to the same value, a
// logical 1 or 0. `what` names the table in errors. A column named as a
// reach code (StartReach, EndReach) that holds numbers is an R error naming
// the column and its first number: its leading zeros may have been lost.
TextTable TextTableOf(const Rcpp::List& columns, const std::string& what);

// Text as an R string (NA for none).
SEXP RString(std::string_view text);

// The rows as a data frame with the result CSV's columns, a Request column
// in front when `ids` is given (one per request; the rows say which).
Rcpp::List RowsFrame(const RowColumns& rows, const std::vector<std::string>* ids);

// An R list made a data frame of `rows` rows, in place.
void MakeFrame(Rcpp::List& columns, std::size_t rows);

// The sites passed: list(request (positions from 1, or NULL), row (of the
// site table, from 1), Com_id, Rch_code, Measure, Distance).
Rcpp::List SitesFound(const SiteValues& values, bool withRequest);

}  // namespace rill::r
