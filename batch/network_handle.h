// One network's tables, loaded once and never changed after, for any
// number of navigations from any number of threads at once: what the
// packages (Python, R) hold for a network their users load.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "batch/request_columns.h"
#include "batch/table_cache.h"
#include "navigation/navigation.h"

namespace rill {

// What one navigation gives its caller: what it found (its rows point into
// the network's tables) and, when asked, its trace as a single run's log
// holds it, special-case block included.
struct NavigateOutcome {
  Navigation navigation;
  std::string log;
};

class NetworkHandle {
 public:
  // Loads the tables `folder` + `prefix` + rchdata.txt and so on (a folder
  // without its trailing separator gets one). Fails (InputMissing, naming
  // the file) when a table cannot be opened; throws only std::bad_alloc.
  static StatusOr<std::unique_ptr<NetworkHandle>> Load(std::string folder, std::string prefix);

  const std::string& folder() const { return folder_; }
  const std::string& prefix() const { return prefix_; }
  const NetworkTables& tables() const { return loaded_->tables; }
  // The loaded tables as a batch shares them with its requests.
  const std::shared_ptr<const LoadedTables>& loaded() const { return loaded_; }
  const std::vector<SkippedTableLine>& skipped() const { return skipped_; }

  // The load dump a single run writes, formatted by reading the tables
  // again (the dump of a large network runs to hundreds of megabytes, so it
  // is not kept). Fails as Load when they are gone.
  StatusOr<std::string> LoadLog() const;

  // One navigation; its trace is formatted only `withLog`.
  NavigateOutcome Navigate(const NavigationRequest& request, bool withLog) const;

 private:
  NetworkHandle(std::string folder, std::string prefix) : folder_(std::move(folder)), prefix_(std::move(prefix)) {}
  std::string folder_;
  std::string prefix_;
  std::shared_ptr<const LoadedTables> loaded_;
  std::vector<SkippedTableLine> skipped_;
};

}  // namespace rill
