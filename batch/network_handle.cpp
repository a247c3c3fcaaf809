#include "batch/network_handle.h"

namespace rill {

namespace {

Status Read(const std::string& folder, const std::string& prefix, TextWriter& log, NetworkTables& tables,
            LoadReport& report) {
  return LoadNetworkTables(TablePathsFor(folder, prefix), ReadWholeFile, log, tables, true, &report);
}

}  // namespace

StatusOr<std::unique_ptr<NetworkHandle>> NetworkHandle::Load(std::string folder, std::string prefix) {
  std::unique_ptr<NetworkHandle> network(new NetworkHandle(TableFolder(std::move(folder)), std::move(prefix)));
  auto loaded = std::make_shared<LoadedTables>();
  TextWriter discard = TextWriter::Discarding();
  LoadReport report;
  loaded->status = Read(network->folder_, network->prefix_, discard, loaded->tables, report);
  if (!loaded->status.ok()) return loaded->status;
  network->skipped_ = std::move(report.skipped);
  network->loaded_ = std::move(loaded);
  return network;
}

StatusOr<std::string> NetworkHandle::LoadLog() const {
  TextWriter log = TextWriter::InMemory();
  NetworkTables scratch;
  LoadReport report;
  if (Status s = Read(folder_, prefix_, log, scratch, report); !s.ok()) return s;
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

}  // namespace rill
