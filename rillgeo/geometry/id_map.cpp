#include "rillgeo/geometry/id_map.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "navigation/navigation.h"
#include "rillgeo/geometry/geo_error.h"

namespace rill::geo {

namespace {

bool ReadId(const std::string& text, std::int64_t& id) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, id);
  return ec == std::errc() && ptr == end;
}

}  // namespace

IdMap IdMap::ReadFromFolder(const std::string& folder) {
  IdMap map;
  const std::filesystem::path path = std::filesystem::path(folder) / "idmap.csv";
  std::error_code error;
  if (!std::filesystem::exists(path, error)) {
    if (error) throw GeoError(path.string() + " cannot be examined: " + error.message());
    return map;
  }
  const OpenedFile file = OpenToRead(path.string());
  CsvRecords records(file.get());
  std::vector<std::string> fields;
  if (!file || !records.Next(fields) || fields != std::vector<std::string>{"Field", "TableId", "SourceId"}) {
    throw GeoError(path.string() + " is not an id map of rillgeo import");
  }
  while (records.Next(fields)) {
    std::int64_t tableId = 0;
    std::int64_t sourceId = 0;
    if (fields.size() != 3 || !ReadId(fields[1], tableId) || !ReadId(fields[2], sourceId))
      throw GeoError(path.string() + " holds a line that is not field,id,id");
    if (fields[0] == "Com_id") map.comIds_[tableId] = sourceId;
    if (fields[0] == "Node") map.nodes_[tableId] = sourceId;
  }
  if (records.ReadFailed()) throw GeoError(path.string() + " could not be read to its end");
  return map;
}

}  // namespace rill::geo
