// The identifiers an import renumbered, read back from idmap.csv.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

namespace rill::geo {

class IdMap {
 public:
  // Reads FOLDER/idmap.csv when there is one; without it every id is its
  // own source id. A GeoError when the file is there but cannot be read.
  static IdMap ReadFromFolder(const std::string& folder);

  std::int64_t SourceComId(std::int64_t tableId) const { return Lookup(comIds_, tableId); }
  std::int64_t SourceNode(std::int64_t tableId) const { return Lookup(nodes_, tableId); }

 private:
  static std::int64_t Lookup(const std::unordered_map<std::int64_t, std::int64_t>& map, std::int64_t id) {
    const auto it = map.find(id);
    return it == map.end() ? id : it->second;
  }
  std::unordered_map<std::int64_t, std::int64_t> comIds_;
  std::unordered_map<std::int64_t, std::int64_t> nodes_;
};

}  // namespace rill::geo
