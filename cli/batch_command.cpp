#include "cli/batch_command.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <thread>

#include "text/nearest_name.h"

namespace rill {

namespace {

// Reads a whole positive number, nothing before or after it.
bool ReadCount(std::string_view text, std::size_t& value) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end && value > 0;
}

}  // namespace

CLI::App* AddBatchCommand(CLI::App& program, BatchCommandLine& line) {
  BatchOptions& o = line.options;
  const unsigned cores = std::thread::hardware_concurrency();
  o.threads = cores == 0 ? 1 : cores;
  CLI::App* batch = program.add_subcommand(
      "batch",
      "Navigates every request of a CSV table on tables loaded once per folder, on every core, and writes "
      "the rows of all requests to one CSV, each row after its request's id.");
  batch
      ->add_option("REQUESTS", o.requests,
                   "CSV table of requests: a header naming the columns (Request, NavType, StartReach, Direction "
                   "required, StartComid in place of StartReach allowed; StartMeasure, EndReach, EndMeasure, EndComid, "
                   "Distance, DistanceUnits (MI, FT, M, KM), WholeReachStartMode, EndAtCUBoundary, Tables, Prefix "
                   "optional; other columns are passed over), one request per line")
      ->required();
  batch->add_option("--out", o.results, "RESULTS: the rows of every request, in request order")->required();
  batch->add_option("--status", o.status,
                    "STATUS: each request's single-run exit status, ccode digits and reason "
                    "(default: RESULTS with .status.csv in place of its extension)");
  batch->add_option("--log", o.log,
                    "LOG: each table folder's load dump, then each request's trace (none without this option)");
  batch->add_option("--tables", o.tables, "table folder of the requests when the table has no Tables column");
  batch->add_option("--threads", o.threads, "navigating threads (default: the number of cores)")
      ->check(CLI::Range(1u, 1024u));
  batch->add_option("--shard", line.shard,
                    "K/N: take only the requests whose position (from 1) is congruent to K modulo N, 1 <= K <= N");
  batch->add_option("--max-tables", o.maxTables, "table folders kept loaded at once (default 4)")
      ->check(CLI::Range(std::size_t{1}, std::size_t{1} << 20));
  batch->add_option("--features", o.features,
                    "SITES: a site table (an id column Feature, Site, Request or id; Com_id or StartComid; optionally "
                    "Measure or StartMeasure; what rillgeo index writes); writes FEATURES, the sites each request "
                    "passes with their distance from the start");
  batch->add_option("--feature-match", line.featureMatch,
                    "exact (default): a site is passed where a row's measures hold its measure; reach: every site on "
                    "a reach passed");
  batch->add_option("--features-out", o.featuresOut,
                    "FEATURES (default: RESULTS with .features.csv in place of its extension)");
  batch->add_flag("--no-progress", line.noProgress, "no progress line on standard error");
  batch->add_flag("--quiet", line.quiet,
                  "nothing on standard error but failures: no progress line, no closing summary of the statuses");
  return batch;
}

std::string CompleteBatchOptions(BatchCommandLine& line) {
  BatchOptions& o = line.options;
  if (!line.shard.empty()) {
    const std::size_t slash = line.shard.find('/');
    std::size_t k = 0;
    std::size_t n = 0;
    if (slash == std::string::npos || !ReadCount(std::string_view(line.shard).substr(0, slash), k) ||
        !ReadCount(std::string_view(line.shard).substr(slash + 1), n) || k > n)
      return "--shard: " + line.shard + " is not K/N with 1 <= K <= N";
    o.shard = Shard{k, n};
  }
  if (o.results.empty()) return "--out: an empty path";
  if (!line.featureMatch.empty() && !ReadFeatureMatch(line.featureMatch, o.featureMatch))
    return "--feature-match: \"" + line.featureMatch + "\" is neither exact nor reach";
  if (o.features.empty() && (!line.featureMatch.empty() || !o.featuresOut.empty()))
    return std::string(o.featuresOut.empty() ? "--feature-match" : "--features-out") + " needs --features";
  return "";
}

}  // namespace rill
