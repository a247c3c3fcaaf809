#pragma once

#include <cstddef>
#include <list>
#include <memory>
#include <string>

#include "network/network_tables.h"
#include "text/status.h"

namespace rill {

// The tables of one folder as a load left them: read only once loaded.
struct LoadedTables {
  NetworkTables tables;
  Status status;     // not ok: a table could not be opened, and the status names it
  std::string base;  // the folder and prefix the tables were read from; empty when a caller loaded them

  bool loaded() const { return status.ok(); }
};

// The table folders of a batch, each loaded the first time a request names
// it and kept while later requests use it; beyond `capacity` folders the
// least recently used one is let go (requests still holding it keep it
// alive). Used by one thread, in request order, so that what it loads and
// when does not depend on the number of threads.
class TableCache {
 public:
  explicit TableCache(std::size_t capacity) : capacity_(capacity == 0 ? 1 : capacity) {}

  // The tables whose files start with `base` (folder and prefix). On a load,
  // `loadLog` receives the load dump (pass a discarding writer to skip it)
  // and `fresh` is set.
  std::shared_ptr<const LoadedTables> Get(const std::string& base, class TextWriter& loadLog, bool& fresh);

  // Tables loaded elsewhere, given for `base` from now on and never let go.
  void Keep(const std::string& base, std::shared_ptr<const LoadedTables> tables);

 private:
  struct Entry {
    std::string base;
    std::shared_ptr<const LoadedTables> tables;
  };
  std::size_t capacity_;
  std::list<Entry> entries_;  // most recently used first
  std::list<Entry> kept_;
};

}  // namespace rill
