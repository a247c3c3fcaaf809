#include "rillgeo/geometry/table_folder.h"

namespace rill::geo {

StatusOr<NetworkTables> LoadTableFolder(const std::string& folder) {
  NetworkTables tables;
  TextWriter discard = TextWriter::Discarding();
  if (LoadNetworkTables(TablePathsFor(folder + "/", ""), ReadWholeFile, discard, tables) != LoadStatus::Loaded) {
    return Status(Fault::InputMissing,
                  "the tables in " + folder + " cannot be read (rchdata.txt, flowdata.txt, secdata.txt)");
  }
  return tables;
}

}  // namespace rill::geo
