#include "network_handle.h"

namespace rill::python {

namespace {

LoadStatus Load(const std::string& folder, const std::string& prefix, TextWriter& log, NetworkTables& tables,
                LoadReport& report) {
  return LoadNetworkTables(TablePathsFor(folder, prefix), ReadWholeFile, log, tables, true, &report);
}

}  // namespace

NetworkHandle::NetworkHandle(std::string folder, std::string prefix)
    : folder_(TableFolder(std::move(folder))), prefix_(std::move(prefix)) {
  auto loaded = std::make_shared<LoadedTables>();
  TextWriter discard = TextWriter::Discarding();
  LoadReport report;
  if (Load(folder_, prefix_, discard, loaded->tables, report) != LoadStatus::Loaded)
    throw TablesMissing{report.missingPath};
  loaded->loaded = true;
  skipped_ = std::move(report.skipped);
  loaded_ = std::move(loaded);
}

std::string NetworkHandle::LoadLog() const {
  TextWriter log = TextWriter::InMemory();
  NetworkTables scratch;
  LoadReport report;
  if (Load(folder_, prefix_, log, scratch, report) != LoadStatus::Loaded) throw TablesMissing{report.missingPath};
  return log.TakeText();
}

NavigateOutcome NetworkHandle::Navigate(const NavigationRequest& request, bool withLog) const {
  NavigateOutcome out;
  TextWriter log = withLog ? TextWriter::InMemory() : TextWriter::Discarding();
  out.navigation = rill::Navigate(tables(), request, log);
  // As a single run's log: the special cases close it.
  if (!out.navigation.refusal) WriteSpecialCases(out.navigation, log);
  if (withLog) out.log = log.TakeText();
  return out;
}

}  // namespace rill::python
