#include "rillgeo/id_map.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "rillgeo/geo_error.h"

namespace rill::geo {

IdMap IdMap::ReadFromFolder(const std::string& folder) {
  IdMap map;
  const std::filesystem::path path = std::filesystem::path(folder) / "idmap.csv";
  if (!std::filesystem::exists(path)) return map;
  std::ifstream in(path);
  std::string line;
  if (!in || !std::getline(in, line) || line.rfind("Field,TableId,SourceId", 0) != 0) {
    throw GeoError(path.string() + " is not an id map of rillgeo import");
  }
  while (std::getline(in, line)) {
    const std::size_t first = line.find(',');
    const std::size_t second = line.find(',', first + 1);
    if (first == std::string::npos || second == std::string::npos) continue;
    const std::string field = line.substr(0, first);
    std::int64_t tableId = 0;
    std::int64_t sourceId = 0;
    try {
      tableId = std::stoll(line.substr(first + 1, second - first - 1));
      sourceId = std::stoll(line.substr(second + 1));
    } catch (const std::logic_error&) {
      throw GeoError(path.string() + " holds a line that is not field,id,id: " + line);
    }
    if (field == "Com_id") map.comIds_[tableId] = sourceId;
    if (field == "Node") map.nodes_[tableId] = sourceId;
  }
  return map;
}

}  // namespace rill::geo
