// rill_navigate's call of the engine: one navigation on a loaded network,
// its rows as a data frame, its ccode and notes, and the sites it passes.
#include <optional>

#include "r_columns.h"
#include "r_network.h"

namespace rill::r {

namespace {

// R has checked each argument's type: NULL, or a string or number of length 1.
std::optional<std::string> OptionalText(SEXP value) {
  if (Rf_isNull(value)) return std::nullopt;
  return std::string(CHAR(STRING_ELT(value, 0)));
}

std::optional<std::int32_t> OptionalWhole(SEXP value) {
  if (Rf_isNull(value)) return std::nullopt;
  return static_cast<std::int32_t>(Rf_asReal(value));
}

}  // namespace

}  // namespace rill::r

// The functions R calls (R/RcppExports.R, made by Rcpp::compileAttributes).
using namespace rill;
using namespace rill::r;

// [[Rcpp::export(name = ".rill_navigate")]]
Rcpp::List RillNavigate(SEXP net, SEXP mode, SEXP navType, SEXP direction, SEXP startReach, SEXP startComid,
                        double startMeasure, double distance, std::string units, SEXP endReach, SEXP endComid,
                        double endMeasure, int wholeReachStart, int endAtCuBoundary, SEXP features,
                        std::string featureMatch) {
  NamedRequest named;
  named.mode = OptionalText(mode);
  if (!Rf_isNull(navType)) named.navType = static_cast<NavKind>(Rf_asInteger(navType));
  named.direction = OptionalText(direction);
  named.startReach = OptionalText(startReach);
  named.startComid = OptionalWhole(startComid);
  named.startMeasure = startMeasure;
  named.distance = distance;
  named.units = std::move(units);
  named.endReach = OptionalText(endReach);
  named.endComid = OptionalWhole(endComid);
  named.endMeasure = endMeasure;
  named.wholeReachStart = static_cast<std::int16_t>(wholeReachStart);
  named.endAtCuBoundary = static_cast<std::int16_t>(endAtCuBoundary);
  StatusOr<NavigationRequest> request = RequestOfNamed(named);
  if (!request.ok()) Rcpp::stop(request.status().message());

  const NetworkHandle& network = NetworkOf(net);
  const NetworkSites* sites = SitesOf(features, network);
  const FeatureMatch match = MatchOf(featureMatch);
  const NavigateOutcome outcome = network.Navigate(*request, false);
  const Navigation& navigation = outcome.navigation;
  if (navigation.refusal) {
    const bool end = navigation.refusal->point == RequestPoint::End;
    Rcpp::stop("%s disagree: %s", end ? "end_reach and end_comid" : "start_reach and start_comid",
               navigation.refusal->reason);
  }
  RowColumns rows;
  for (const ResultRow& row : navigation.rows) rows.Add(row, 0);
  Rcpp::CharacterVector ccode(1);
  ccode[0] = navigation.digits ? RString(navigation.digits->text()) : NA_STRING;
  Rcpp::CharacterVector notes(navigation.notes.size());
  for (std::size_t i = 0; i < navigation.notes.size(); ++i) notes[i] = RString(navigation.notes[i]);
  SEXP passed = R_NilValue;
  SiteValues values;
  Rcpp::List found;
  if (sites != nullptr) {
    values.Add(0, navigation, SitesPassed(navigation, *sites->placed, match));
    found = SitesFound(values, false);
    passed = found;
  }
  return Rcpp::List::create(Rcpp::Named("rows") = RowsFrame(rows, nullptr), Rcpp::Named("ccode") = ccode,
                            Rcpp::Named("notes") = notes, Rcpp::Named("features") = passed);
}
