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
  // The loader names the table it could not open only in its dump; the
  // reader remembers it for the status of the requests that needed it.
  const FileReader read = [&loaded](const std::string& path) {
    std::optional<TableText> content = ReadWholeFile(path);
    if (!content) loaded->missingPath = path;
    return content;
  };
  loaded->loaded = LoadNetworkTables(TablePathsFor(base, ""), read, loadLog, loaded->tables) == LoadStatus::Loaded;
  fresh = true;
  if (entries_.size() >= capacity_) entries_.pop_back();
  entries_.push_front(Entry{base, std::move(loaded)});
  return entries_.front().tables;
}

void TableCache::Keep(const std::string& base, std::shared_ptr<const LoadedTables> tables) {
  kept_.push_front(Entry{base, std::move(tables)});
}

}  // namespace rill
