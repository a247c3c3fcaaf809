// Batches and the single runs they must agree with, run as a caller would.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tests/support/files.h"

namespace rill::testing {

// One request as fields by column name; `single` is the equivalent legacy
// command line without its work folder, OutFile and prefix.
struct MixedRequest {
  std::map<std::string, std::string> fields;
  std::string single;
};

// `count` requests of every type and direction over the reaches of the
// tables in `folder`, some with limits, some unusable; ids are r1, r2, ...
std::vector<MixedRequest> MixedRequests(const fs::path& folder, int count, std::uint32_t seed);

// The requests as a CSV table with these columns.
std::string RequestsTable(const std::vector<MixedRequest>& requests, const std::vector<std::string>& columns);

// Runs `rillmark batch` with the arguments in `dir`; returns its exit status
// (-1 when it did not end normally).
int RunBatch(const fs::path& dir, const std::vector<std::string>& arguments);

// A single run's outcome in batch form: its CSV lines (no header) after the
// quoted id, and the STATUS line.
struct SingleOutcome {
  std::string rows;
  std::string statusLine;
};
SingleOutcome RunSingle(const std::string& id, const std::string& commandLine, const fs::path& work);

// Each request's lines of a batch output, by the id that opens them.
std::map<std::string, std::string> LinesById(const std::string& table);

}  // namespace rill::testing
