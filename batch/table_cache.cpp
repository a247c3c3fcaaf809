#include "batch/table_cache.h"

#include "network/table_loader.h"
#include "text/text_writer.h"

namespace rill {

std::shared_ptr<const LoadedTables> TableCache::Get(const std::string& base, TextWriter& loadLog, bool& fresh) {
  fresh = false;
  for (const Entry& kept : kept_)
    if (kept.base == base) return kept.tables;
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    if (it->base != base) continue;
    entries_.splice(entries_.begin(), entries_, it);
    return entries_.front().tables;
  }
  auto loaded = std::make_shared<LoadedTables>();
  loaded->base = base;
  // The flow and reach tables are read and parsed on a second thread while
  // the sections load, as a single run and the Python module load them.
  loaded->status = LoadNetworkTables(TablePathsFor(base, ""), ReadWholeFile, loadLog, loaded->tables, true);
  fresh = true;
  if (entries_.size() >= capacity_) entries_.pop_back();
  entries_.push_front(Entry{base, std::move(loaded)});
  return entries_.front().tables;
}

void TableCache::Keep(const std::string& base, std::shared_ptr<const LoadedTables> tables) {
  kept_.push_front(Entry{base, std::move(tables)});
}

}  // namespace rill
