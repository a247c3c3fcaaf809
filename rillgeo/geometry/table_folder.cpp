#include "rillgeo/geometry/table_folder.h"

#include "rillgeo/geometry/geo_error.h"

namespace rill::geo {

NetworkTables LoadTableFolder(const std::string& folder) {
  NetworkTables tables;
  TextWriter discard = TextWriter::Discarding();
  if (LoadNetworkTables(TablePathsFor(folder + "/", ""), ReadWholeFile, discard, tables) != LoadStatus::Loaded) {
    throw GeoError("the tables in " + folder + " cannot be read (rchdata.txt, flowdata.txt, secdata.txt)");
  }
  return tables;
}

}  // namespace rill::geo
