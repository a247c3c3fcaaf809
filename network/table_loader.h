#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "network/network_tables.h"
#include "network/table_text.h"
#include "text/status.h"
#include "text/text_writer.h"

namespace rill {

struct TablePaths {
  std::string reach;
  std::string flow;
  std::string section;
};

// Every file of a run is WorkPath + FilePrefix + name, nothing inserted.
TablePaths TablePathsFor(const std::string& workPath, const std::string& filePrefix);

// Gives a file's text, or nothing when it cannot be opened or read. A reader
// may give the text as a string; ReadWholeFile reads the file in blocks.
using FileReader = std::function<std::optional<TableText>(const std::string& path)>;
std::optional<TableText> ReadWholeFile(const std::string& path);

// A line of a table that the loader skipped, and why (as the log says).
struct SkippedTableLine {
  std::int32_t line = 0;  // counted from 1 over all lines of the file
  std::string path;
  std::string reason;
};

// What a load tells a caller that wants it beside the log.
struct LoadReport {
  std::vector<SkippedTableLine> skipped;  // in the order the log names them per table
};

// Reads secdata, flowdata and rchdata in that order into `tables`, writing the
// load dump to `log`. Stops at the first table that cannot be read, after
// writing why, and returns InputMissing naming it (message and path). With `concurrent` the flow and reach tables are
// read and parsed on a second thread meanwhile (`read` must then allow calls from another thread); the log and the
// tables are the same. With `report`, the skipped lines are kept there too.
Status LoadNetworkTables(const TablePaths& paths, const FileReader& read, TextWriter& log, NetworkTables& tables,
                         bool concurrent = false, LoadReport* report = nullptr);

}  // namespace rill
