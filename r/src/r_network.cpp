#include "r_network.h"

namespace rill::r {

namespace {

template <typename T>
T* Held(SEXP pointer, const char* name, const char* maker) {
  if (TYPEOF(pointer) != EXTPTRSXP) Rcpp::stop("%s must be made by %s()", name, maker);
  auto* held = static_cast<T*>(R_ExternalPtrAddr(pointer));
  if (held == nullptr)
    Rcpp::stop(
        "%s is empty: it was saved and restored (readRDS, a saved workspace) or sent to another R process, "
        "and its tables are not loaded here; make it again with %s()",
        name, maker);
  return held;
}

}  // namespace

const NetworkHandle& NetworkOf(SEXP pointer) { return *Held<NetworkHandle>(pointer, "net", "rill_network"); }

const NetworkSites* SitesOf(SEXP pointer, const NetworkHandle& network) {
  if (Rf_isNull(pointer)) return nullptr;
  const auto* sites = Held<NetworkSites>(pointer, "features", "rill_sites");
  if (sites->tables != network.loaded().get()) Rcpp::stop("features were placed on another network");
  return sites;
}

FeatureMatch MatchOf(const std::string& word) {
  FeatureMatch match = FeatureMatch::Exact;
  if (!ReadFeatureMatch(word, match)) Rcpp::stop("feature_match must be \"exact\" or \"reach\", not \"%s\"", word);
  return match;
}

}  // namespace rill::r

// The functions R calls (R/RcppExports.R, made by Rcpp::compileAttributes).
using namespace rill;
using namespace rill::r;

// [[Rcpp::export(name = ".rill_load")]]
SEXP RillLoad(std::string folder, std::string prefix) {
  StatusOr<std::unique_ptr<NetworkHandle>> loaded = NetworkHandle::Load(std::move(folder), std::move(prefix));
  if (!loaded.ok()) Rcpp::stop(loaded.status().message());
  return Rcpp::XPtr<NetworkHandle>(std::move(loaded).value().release(), true);
}

// [[Rcpp::export(name = ".rill_describe")]]
Rcpp::List RillDescribe(SEXP net) {
  const NetworkHandle& n = NetworkOf(net);
  return Rcpp::List::create(Rcpp::Named("folder") = n.folder(), Rcpp::Named("prefix") = n.prefix(),
                            Rcpp::Named("reaches") = static_cast<double>(n.tables().reaches().size()),
                            Rcpp::Named("flows") = static_cast<double>(n.tables().flows().size()),
                            Rcpp::Named("sections") = static_cast<double>(n.tables().sections().size()));
}

// [[Rcpp::export(name = ".rill_skipped")]]
Rcpp::DataFrame RillSkipped(SEXP net) {
  const std::vector<SkippedTableLine>& skipped = NetworkOf(net).skipped();
  Rcpp::IntegerVector line(skipped.size());
  Rcpp::CharacterVector file(skipped.size());
  Rcpp::CharacterVector reason(skipped.size());
  for (std::size_t i = 0; i < skipped.size(); ++i) {
    line[i] = skipped[i].line;
    file[i] = skipped[i].path;
    reason[i] = skipped[i].reason;
  }
  return Rcpp::DataFrame::create(Rcpp::Named("line") = line, Rcpp::Named("file") = file, Rcpp::Named("reason") = reason,
                                 Rcpp::Named("stringsAsFactors") = false);
}
