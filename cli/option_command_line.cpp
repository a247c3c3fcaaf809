#include "cli/option_command_line.h"

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstring>
#include <iostream>

#include "cli/batch_command.h"
#include "cli/batch_exit_status.h"
#include "cli/progress_line.h"
#include "text/nearest_name.h"

namespace rill {

namespace {

// The single run's fields, a line each: enough to write a request without the README.
constexpr const char* kLegacyRule =
    "Without batch, --help (-h) or --version as its first argument, rillmark runs one navigation from 14 fields\n"
    "separated by commas (a run of commas counts as one, so every field must hold something; write 0 when unused):\n"
    "   1 NavType              1 main path, 2 whole network, 3 main path up to Distance, 4 whole network up to\n"
    "                          Distance, 5 from StartReach to EndReach; any other number loads the tables only\n"
    "   2 StartReach           reach code of the start point\n"
    "   3 StartMeasure         measure on it: 0 at the reach's downstream end, 100 at its upstream end\n"
    "   4 EndReach             reach code of the end point (used by type 5)\n"
    "   5 EndMeasure           measure on the end reach, as StartMeasure\n"
    "   6 Direction            U upstream or D downstream\n"
    "   7 Distance             the distance limit of types 3 and 4, in DistanceUnits\n"
    "   8 DistanceUnits        MI miles (1609.0 m), FT feet (0.3048 m), anything else meters; also the rows' units\n"
    "   9 TraversalOrder       written to the run log only\n"
    "  10 WorkPath             folder of the tables and of every output, with its trailing separator (/data/run/)\n"
    "  11 OutFile              name of the result CSV\n"
    "  12 FilePrefix           between WorkPath and each file name: ./ for none, a sub-folder run1/, a prefix run1_\n"
    "  13 WholeReachStartMode  1 outputs a branched or lake start reach whole, 0 not\n"
    "  14 EndAtCUBoundary      0 all rows, 1 only rows whose code begins with the start reach's first 8 characters,\n"
    "                          any other value no rows\n"
    "Example: rillmark 3,04130003000351,50,0,0,U,5,MI,1,/data/run/,out.csv,./,0,0 walks up the main path for 5 miles\n"
    "from measure 50 of reach 04130003000351. WorkPath+FilePrefix holds rchdata.txt, flowdata.txt and secdata.txt;\n"
    "the run writes there OutFile, ccode.txt (four status digits) and message.out (the trace of the walk).\n";

constexpr const char* kStatuses =
    "Exit status of a single run: 0 completed, 1 an input table cannot be opened, 2 an unusable command line,\n"
    "3 an output cannot be written or the run failed.\n"
    "Exit status of a batch: 0 every request was read (each one's status is in STATUS), 1 REQUESTS (or the\n"
    "SITES of --features) cannot be read, 2 unusable options or columns, 3 an output cannot be written, 4 no\n"
    "request could be navigated\n"
    "(every one status 1 or 2), 130 stopped by Ctrl-C (outputs complete up to the last request written).\n";

// How the site table fared on each table folder: the count, and the first
// rows skipped with their reason.
void PrintSitePlacements(const std::vector<SitePlacementReport>& reports, const std::string& path) {
  for (const SitePlacementReport& r : reports) {
    const std::string folder = r.folder.empty() ? "the tables" : r.folder;
    std::cerr << "rillmark batch: site table " << path << " on " << folder << ": " << r.placed << " placed, "
              << r.skipped << " skipped\n";
    for (const SkippedSite& s : r.named)
      std::cerr << "rillmark batch:   line " << s.line << " (site \"" << s.id << "\") skipped: " << s.reason << '\n';
    if (r.skipped > r.named.size()) std::cerr << "rillmark batch:   and " << (r.skipped - r.named.size()) << " more\n";
  }
}

}  // namespace

bool IsOptionCommandLine(int argc, const char* const* argv) {
  if (argc < 2) return false;
  return std::strcmp(argv[1], "batch") == 0 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0 ||
         std::strcmp(argv[1], "--version") == 0;
}

int RunOptionCommandLine(int argc, const char* const* argv, const std::atomic<bool>& stop) {
  CLI::App program("rillmark navigates a river network held in three comma-separated tables.", "rillmark");
  program.set_version_flag("--version", std::string("rillmark ") + kRillmarkVersion);
  program.footer(std::string(kLegacyRule) + "\n" + kStatuses);
  program.require_subcommand(1);
  BatchCommandLine line;
  CLI::App* batch = AddBatchCommand(program, line);
  batch->footer(kStatuses);
  try {
    program.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return program.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return program.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return program.exit(e);
  } catch (const CLI::ParseError& e) {
    const std::string hint = UnknownOptionHint(program, *batch);
    std::cerr << "rillmark batch: " << (hint.empty() ? std::string(e.what()) : hint) << '\n';
    return kBatchUnusableOptions;
  }
  if (std::string reason = CompleteBatchOptions(line); !reason.empty()) {
    std::cerr << "rillmark batch: " << reason << '\n';
    return kBatchUnusableOptions;
  }
  const bool showProgress = !line.noProgress && !line.quiet && isatty(STDERR_FILENO) == 1;
  line.options.countRequests = showProgress;
  BatchProgressLine progressLine;
  ProgressReport progress;
  if (showProgress) progress = [&progressLine](const BatchProgress& p) { progressLine.Show(p); };
  BatchSummary result;
  try {
    result = RunBatch(line.options, stop, progress);
  } catch (const std::bad_alloc&) {
    result = BatchSummary{};
    result.status = Status(Fault::OutOfMemory, "The batch ran out of memory");
  }
  progressLine.End();
  if (!result.ignoredColumns.empty() && !line.quiet) {
    std::cerr << "rillmark batch: columns passed over:";
    for (const std::string& name : result.ignoredColumns) std::cerr << ' ' << name;
    std::cerr << '\n';
  }
  if (!line.quiet) PrintSitePlacements(result.sites, line.options.features);
  const int status = BatchExitStatus(result.status);
  if (!line.quiet && (result.tally.requests() > 0 || status == kBatchCompleted))
    std::cerr << "rillmark batch: " << result.tally.Summary() << '\n';
  if (!result.status.message().empty()) std::cerr << "rillmark batch: " << result.status.message() << '\n';
  return status;
}

}  // namespace rill
