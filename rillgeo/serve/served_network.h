// Everything the service answers from, loaded once at start and read only
// afterwards by every worker: the tables, the flowlines' lines, the site
// tables placed on the tables, and the lookups built over them.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "batch/site_table.h"
#include "navigation/navigation.h"
#include "rillgeo/geometry/flowline_lines.h"
#include "rillgeo/geometry/ground_cutter.h"
#include "rillgeo/geometry/id_map.h"
#include "rillgeo/geometry/line_sections.h"
#include "rillgeo/geometry/line_snapper.h"
#include "text/status.h"

namespace rill::geo {

// A site of a served site table, as the linked-data routes show it.
struct ServedSite {
  std::int32_t row = 0;  // its row in the site table
  std::string id;
  std::string name;                    // the table's name column, when it has one
  std::string reachCode;               // NHD reach code and measure: the table's ReachCode and
  std::string measure;                 // ReachMeasure columns, else the flowline's own
  const PlacedSite* placed = nullptr;  // nullptr: the site could not be placed
  bool located = false;                // lon and lat hold its point on the line
  double lon = 0.0;
  double lat = 0.0;
};

// One --features NAME=SITES table.
struct SiteSource {
  std::string name;
  SiteTable table;
  std::unique_ptr<PlacedSites> placed;
  std::vector<ServedSite> sites;                      // in table order
  std::unordered_map<std::string, std::size_t> byId;  // the first site of each id
  std::vector<const ServedSite*> byPlaced;            // by position among placed sites
  const PlacedSite* placedBase = nullptr;             // the first placed site
};

// Where a public flowline id stands in the tables: its reach and the
// stretch of measures its line covers there.
struct FlowlineStart {
  std::int32_t reach = -1;  // index in the reach table
  double fromMeasure = 0.0;
  double toMeasure = 100.0;
};

class ServedNetwork {
 public:
  // Loads the tables of `tables` (and its idmap.csv), the lines of
  // `geometry` and each NAME=SITES table. A fault when one cannot be read
  // (Fault::InputMissing), or a features entry is not NAME=SITES, names a
  // source twice or takes the name comid (Fault::Unusable).
  static StatusOr<std::unique_ptr<ServedNetwork>> Load(const std::string& tables,
                                                       const std::vector<std::string>& geometry,
                                                       const std::string& layer,
                                                       const std::vector<std::string>& features);

  const NetworkTables& tables() const { return tables_; }
  const IdMap& ids() const { return ids_; }
  const FlowlineLines& lines() const { return *lines_; }
  const std::vector<SiteSource>& sources() const { return sources_; }

  // The source named `name`, or nullptr.
  const SiteSource* Source(const std::string& name) const;
  // Where the flowline with public id `comid` stands: a reach of the tables
  // with that source id (whole), else the section of the flowline of that
  // id; nothing when neither is in the tables.
  std::optional<FlowlineStart> Flowline(std::int64_t comid) const;
  // The public id of a reach of the tables (its Com_id through idmap.csv).
  std::int64_t PublicId(std::int32_t comId) const { return ids_.SourceComId(comId); }
  // The lines of the reach's sections (each with the section's measures).
  struct SectionLine {
    const FlowlineLine* line = nullptr;
    double fromMeasure = 0.0;
    double toMeasure = 0.0;
  };
  std::vector<SectionLine> LinesOf(std::int32_t comId) const;

  // Snaps (lon, lat) to the nearest flowline within `radius` metres, as
  // rillgeo index does; one caller at a time (the snapper keeps lines it
  // projected). Nothing beyond the radius.
  struct Snapped {
    const FlowlineLine* line = nullptr;
    double share = 0.0;   // of the line from its upstream end
    double offset = 0.0;  // metres from the point to the line
    double lon = 0.0;     // the point on the line
    double lat = 0.0;
  };
  std::optional<Snapped> Snap(double lon, double lat, double radius) const;
  // The section of the tables a flowline of the lines stands for, or nullptr.
  const SectionRecord* SectionOf(const FlowlineLine& line) const;
  // Where the placed site `p` of `source` stands among its served sites.
  static const ServedSite* SiteOf(const SiteSource& source, const PlacedSite* p);

 private:
  ServedNetwork(NetworkTables tables, IdMap ids) : tables_(std::move(tables)), ids_(std::move(ids)) {}
  Status AddSource(const std::string& entry);

  NetworkTables tables_;
  IdMap ids_;
  std::unique_ptr<FlowlineLines> lines_;
  std::unordered_map<std::int64_t, std::int32_t> reachOfPublicId_;
  std::unordered_map<std::int64_t, std::size_t> lineOfPublicId_;
  std::vector<SiteSource> sources_;
  std::unique_ptr<LineSections> sections_;
  std::unique_ptr<LineSnapper> snapper_;
  mutable std::mutex snapping_;
};

}  // namespace rill::geo
