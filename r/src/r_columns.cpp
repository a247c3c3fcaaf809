#include "r_columns.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <unordered_map>

#include "text/letter_case.h"

namespace rill::r {

namespace {

// A number as the field that reads back to the same value: whole numbers
// as whole numbers (a Com_id column with gaps is numeric in R), the others
// in the fewest digits that round-trip.
std::string NumberField(double value) {
  if (ISNA(value)) return "";
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "Inf" : "-Inf";
  char text[64];
  if (value == std::trunc(value) && std::fabs(value) < 1e15) {
    const int n = std::snprintf(text, sizeof text, "%.0f", value);
    return std::string(text, static_cast<std::size_t>(n));
  }
  const std::to_chars_result end = std::to_chars(text, text + sizeof text, value);
  return std::string(text, end.ptr);
}

bool IsReachColumn(std::string_view name) {
  return SameIgnoringCase(name, "StartReach") || SameIgnoringCase(name, "EndReach");
}

// The field at `i` of an R vector of one of the kinds a table column takes.
std::string Field(SEXP column, R_xlen_t i) {
  switch (TYPEOF(column)) {
    case STRSXP: {
      SEXP s = STRING_ELT(column, i);
      return s == NA_STRING ? std::string() : std::string(CHAR(s), static_cast<std::size_t>(LENGTH(s)));
    }
    case REALSXP:
      return NumberField(REAL(column)[i]);
    case INTSXP:
      return INTEGER(column)[i] == NA_INTEGER ? std::string() : std::to_string(INTEGER(column)[i]);
    default: {  // LGLSXP
      const int b = LOGICAL(column)[i];
      return b == NA_LOGICAL ? std::string() : (b ? "1" : "0");
    }
  }
}

void CheckColumn(SEXP column, const std::string& name, const std::string& what) {
  const int type = TYPEOF(column);
  if (type != STRSXP && type != REALSXP && type != INTSXP && type != LGLSXP)
    Rcpp::stop("%s$%s must be character, numeric or logical, not %s", what, name, Rf_type2char(type));
  if (!IsReachColumn(name) || (type != REALSXP && type != INTSXP)) return;
  for (R_xlen_t i = 0; i < XLENGTH(column); ++i) {
    const std::string field = Field(column, i);
    if (field.empty()) continue;
    Rcpp::stop(
        "%s$%s holds reach codes as numbers (row %d: %s), which lose their leading zeros; "
        "read it as text, e.g. read.csv(..., colClasses = \"character\")",
        what, name, static_cast<int>(i + 1), field);
  }
}

}  // namespace

TextTable TextTableOf(const Rcpp::List& columns, const std::string& what) {
  TextTable table;
  const Rcpp::CharacterVector names = columns.names();
  const R_xlen_t count = columns.size();
  const R_xlen_t rows = count > 0 ? Rf_xlength(columns[0]) : 0;
  for (R_xlen_t c = 0; c < count; ++c) {
    std::string name(names[c]);
    if (Rf_xlength(columns[c]) != rows) Rcpp::stop("%s: the columns are not of one length", what);
    CheckColumn(columns[c], name, what);
    table.header.push_back(std::move(name));
  }
  table.records.assign(static_cast<std::size_t>(rows), {});
  for (R_xlen_t i = 0; i < rows; ++i) {
    std::vector<std::string>& record = table.records[static_cast<std::size_t>(i)];
    record.reserve(static_cast<std::size_t>(count));
    for (R_xlen_t c = 0; c < count; ++c) record.push_back(Field(columns[c], i));
  }
  return table;
}

SEXP RString(std::string_view text) { return Rf_mkCharLenCE(text.data(), static_cast<int>(text.size()), CE_NATIVE); }

void MakeFrame(Rcpp::List& columns, std::size_t rows) {
  columns.attr("class") = "data.frame";
  columns.attr("row.names") = Rcpp::IntegerVector::create(NA_INTEGER, -static_cast<int>(rows));
}

Rcpp::List RowsFrame(const RowColumns& r, const std::vector<std::string>* ids) {
  const std::size_t n = r.size();
  Rcpp::CharacterVector code(n);
  Rcpp::CharacterVector date(n);
  Rcpp::IntegerVector comId(n);
  Rcpp::IntegerVector duuId(n);
  // One R string per reach however often it is passed (each stays protected
  // in the vectors from its first row on).
  std::unordered_map<const ReachRecord*, std::size_t> seen;
  for (std::size_t i = 0; i < n; ++i) {
    const auto [at, fresh] = seen.try_emplace(r.reach[i], i);
    if (fresh) {
      SET_STRING_ELT(code, static_cast<R_xlen_t>(i), RString(r.reach[i]->Code()));
      SET_STRING_ELT(date, static_cast<R_xlen_t>(i), RString(r.reach[i]->Date()));
    } else {
      SET_STRING_ELT(code, static_cast<R_xlen_t>(i), STRING_ELT(code, static_cast<R_xlen_t>(at->second)));
      SET_STRING_ELT(date, static_cast<R_xlen_t>(i), STRING_ELT(date, static_cast<R_xlen_t>(at->second)));
    }
    comId[i] = static_cast<int>(r.comId[i]);
    duuId[i] = static_cast<int>(r.duuId[i]);
  }
  Rcpp::List frame = Rcpp::List::create(
      Rcpp::Named("Rch_code") = code, Rcpp::Named("Com_id") = comId, Rcpp::Named("Rch_date") = date,
      Rcpp::Named("Duu_id") = duuId, Rcpp::Named("FromMeasure") = Rcpp::NumericVector(r.from.begin(), r.from.end()),
      Rcpp::Named("ToMeasure") = Rcpp::NumericVector(r.to.begin(), r.to.end()),
      Rcpp::Named("Distance") = Rcpp::NumericVector(r.distance.begin(), r.distance.end()),
      Rcpp::Named("RchLength") = Rcpp::NumericVector(r.length.begin(), r.length.end()));
  if (ids != nullptr) {
    // A request's rows stand together: its id is made once.
    Rcpp::CharacterVector request(n);
    for (std::size_t i = 0; i < n; ++i)
      SET_STRING_ELT(request, static_cast<R_xlen_t>(i),
                     i > 0 && r.request[i] == r.request[i - 1] ? STRING_ELT(request, static_cast<R_xlen_t>(i - 1))
                                                               : RString((*ids)[r.request[i]]));
    frame.push_front(request, "Request");
  }
  MakeFrame(frame, n);
  return frame;
}

Rcpp::List SitesFound(const SiteValues& v, bool withRequest) {
  const std::size_t n = v.row.size();
  Rcpp::IntegerVector row(n);
  Rcpp::IntegerVector comId(n);
  Rcpp::CharacterVector code(n);
  for (std::size_t i = 0; i < n; ++i) {
    row[i] = static_cast<int>(v.row[i] + 1);
    comId[i] = static_cast<int>(v.comId[i]);
    code[i] = RString(v.reach[i]->Code());
  }
  // A site without a measure has NA, as a missing value is in R.
  Rcpp::NumericVector measure(n);
  for (std::size_t i = 0; i < n; ++i) measure[i] = std::isnan(v.measure[i]) ? NA_REAL : v.measure[i];
  SEXP request = R_NilValue;
  Rcpp::IntegerVector positions;
  if (withRequest) {
    positions = Rcpp::IntegerVector(n);
    for (std::size_t i = 0; i < n; ++i) positions[i] = static_cast<int>(v.request[i] + 1);
    request = positions;
  }
  return Rcpp::List::create(Rcpp::Named("request") = request, Rcpp::Named("row") = row, Rcpp::Named("Com_id") = comId,
                            Rcpp::Named("Rch_code") = code, Rcpp::Named("Measure") = measure,
                            Rcpp::Named("Distance") = Rcpp::NumericVector(v.distance.begin(), v.distance.end()));
}

}  // namespace rill::r
