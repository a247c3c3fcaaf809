// rill_batch's and rill_sites' calls of the engine: a table of requests run
// by the batch engine on its own threads into sinks of values (no R call on
// those threads), made R data frames once the run is over; a site table
// placed once on a network.
#include <R_ext/Utils.h>

#include <atomic>
#include <thread>

#include "r_columns.h"
#include "r_network.h"

namespace rill::r {

namespace {

// R_CheckUserInterrupt jumps out of the C++ frames when the user pressed
// Ctrl-C; inside R_ToplevelExec it only returns, and the batch stops.
void CheckInterrupt(void*) { R_CheckUserInterrupt(); }
bool Interrupted() { return R_ToplevelExec(CheckInterrupt, nullptr) == FALSE; }

Rcpp::List StatusFrame(const ColumnsSink& sink) {
  const std::size_t n = sink.ids.size();
  Rcpp::CharacterVector request(n);
  Rcpp::IntegerVector status(n);
  Rcpp::CharacterVector ccode(n);
  Rcpp::CharacterVector message(n);
  for (std::size_t i = 0; i < n; ++i) {
    request[i] = RString(sink.ids[i]);
    status[i] = static_cast<int>(sink.statuses[i]);
    ccode[i] = sink.ccodes[i].empty() ? NA_STRING : RString(sink.ccodes[i]);
    message[i] = sink.messages[i].empty() ? NA_STRING : RString(sink.messages[i]);
  }
  Rcpp::List frame = Rcpp::List::create(Rcpp::Named("Request") = request, Rcpp::Named("Status") = status,
                                        Rcpp::Named("ccode") = ccode, Rcpp::Named("Message") = message);
  MakeFrame(frame, n);
  return frame;
}

}  // namespace

}  // namespace rill::r

// The functions R calls (R/RcppExports.R, made by Rcpp::compileAttributes).
using namespace rill;
using namespace rill::r;

// [[Rcpp::export(name = ".rill_batch")]]
Rcpp::List RillBatch(SEXP net, Rcpp::List requests, int threads, int maxTables, SEXP features,
                     std::string featureMatch) {
  const NetworkHandle& network = NetworkOf(net);
  const NetworkSites* sites = SitesOf(features, network);
  const FeatureMatch match = MatchOf(featureMatch);
  TextTable table = TextTableOf(requests, "requests");
  // Requests without a Tables (or Prefix) column navigate this network.
  auto source = RequestsInMemory(std::move(table.header), std::move(table.records),
                                 RequestDefaults{network.folder(), network.prefix()});
  if (!source.ok()) Rcpp::stop("requests: " + source.status().message());
  const unsigned threadCount =
      threads > 0 ? static_cast<unsigned>(threads) : std::max(1u, std::thread::hardware_concurrency());
  BatchEngine engine(EngineOptions{threadCount, static_cast<std::size_t>(maxTables), 0});
  engine.Keep(network.folder() + network.prefix(), network.loaded());
  ColumnsSink sink;
  std::unique_ptr<SiteValuesSink> siteSink;
  std::unique_ptr<SinkPair> both;
  if (sites != nullptr) {
    siteSink = std::make_unique<SiteValuesSink>(*sites, match);
    both = std::make_unique<SinkPair>(sink, *siteSink);
  }
  OutcomeSink& into = both ? static_cast<OutcomeSink&>(*both) : sink;
  std::atomic<bool> stop{false};
  bool interrupted = false;
  // The engine reports now and then on this, R's own thread: Ctrl-C is seen between chunks.
  auto checkInterrupt = [&](const BatchProgress&) {
    if (!interrupted && Interrupted()) {
      interrupted = true;
      stop.store(true);
    }
  };
  engine.Run(**source, into, stop, checkInterrupt);
  if (interrupted) throw Rcpp::internal::InterruptedException();
  Rcpp::List results = RowsFrame(sink.rows, &sink.ids);
  Rcpp::List status = StatusFrame(sink);
  SEXP passed = R_NilValue;
  Rcpp::List found;
  if (siteSink) {
    found = SitesFound(siteSink->values, true);
    passed = found;
  }
  return Rcpp::List::create(Rcpp::Named("results") = results, Rcpp::Named("status") = status,
                            Rcpp::Named("features") = passed);
}

// [[Rcpp::export(name = ".rill_place_sites")]]
Rcpp::List RillPlaceSites(SEXP net, Rcpp::List frame) {
  const NetworkHandle& network = NetworkOf(net);
  TextTable text = TextTableOf(frame, "features");
  StatusOr<SiteTable> read = SiteTableOf("features", std::move(text.header), text.records);
  if (!read.ok()) Rcpp::stop(read.status().message());
  auto sites = std::make_unique<NetworkSites>();
  sites->table = std::make_shared<const SiteTable>(std::move(read).value());
  sites->tables = network.loaded().get();
  sites->placed = std::make_shared<const PlacedSites>(*sites->table, network.tables());
  const std::vector<SkippedSite>& named = sites->placed->named();
  Rcpp::IntegerVector line(named.size());
  Rcpp::CharacterVector id(named.size());
  Rcpp::CharacterVector reason(named.size());
  for (std::size_t i = 0; i < named.size(); ++i) {
    line[i] = static_cast<int>(named[i].line);
    id[i] = RString(named[i].id);
    reason[i] = RString(named[i].reason);
  }
  Rcpp::List skipped =
      Rcpp::List::create(Rcpp::Named("line") = line, Rcpp::Named("id") = id, Rcpp::Named("reason") = reason);
  MakeFrame(skipped, named.size());
  const SiteTable& t = *sites->table;
  Rcpp::IntegerVector travel(t.travelColumns.size());
  for (std::size_t i = 0; i < t.travelColumns.size(); ++i) travel[i] = static_cast<int>(t.travelColumns[i] + 1);
  const double placed = static_cast<double>(sites->placed->placed());
  const double skippedCount = static_cast<double>(sites->placed->skipped());
  return Rcpp::List::create(
      Rcpp::Named("pointer") = Rcpp::XPtr<NetworkSites>(sites.release(), true), Rcpp::Named("placed") = placed,
      Rcpp::Named("skipped") = skippedCount, Rcpp::Named("skipped_sites") = skipped,
      Rcpp::Named("id_column") = static_cast<int>(t.idColumn + 1), Rcpp::Named("travel_columns") = travel,
      Rcpp::Named("travel_names") = Rcpp::wrap(t.travelNames));
}
