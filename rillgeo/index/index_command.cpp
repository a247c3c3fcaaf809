#include "rillgeo/index/index_command.h"

#include <cstdio>

#include "navigation/navigation.h"
#include "rillgeo/geometry/decimal_text.h"
#include "rillgeo/geometry/geo_error.h"
#include "rillgeo/geometry/line_sections.h"
#include "rillgeo/geometry/line_snapper.h"
#include "rillgeo/geometry/table_folder.h"
#include "rillgeo/geometry/whole_file.h"
#include "rillgeo/index/index_table.h"

namespace rill::geo {

namespace {

std::string Fixed(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

SnapFields Unsnapped(std::string note) {
  SnapFields fields;
  fields.note = std::move(note);
  return fields;
}

// Snaps sites against one set of lines and tables, and writes their lines.
class SiteIndexer {
 public:
  SiteIndexer(const IndexOptions& options, const NetworkTables& tables, const IdMap& ids, const FlowlineLines& lines)
      : options_(options),
        tables_(tables),
        lines_(lines),
        sections_(tables, ids),
        snapper_(lines),
        beyond_("no flowline within " + ShortestText(options.radius) + " m") {}

  // Adds the site's lines to `out`; whether its nearest line is a snap.
  bool Index(const Site& site, IndexTable& out) {
    if (!site.located) {
      out.Add(site, Unsnapped("coordinates cannot be read"));
      return false;
    }
    const std::vector<LineMatch> matches = snapper_.Nearest(site.lon, site.lat, options_.radius, options_.matches);
    if (matches.empty()) out.Add(site, Unsnapped(beyond_));
    bool snapped = false;
    for (std::size_t rank = 0; rank < matches.size(); ++rank) {
      SnapFields fields = FieldsOf(matches[rank]);
      fields.rank = std::to_string(rank + 1);
      if (rank == 0) snapped = fields.note.empty();
      out.Add(site, fields);
    }
    return snapped;
  }

 private:
  SnapFields FieldsOf(const LineMatch& match) {
    const FlowlineLine& line = lines_.all()[match.line];
    // Measures count from the downstream end, the line from the upstream one.
    const double s = 1.0 - match.snap.share;
    SnapFields fields;
    fields.sourceId = std::to_string(line.comId);
    fields.reachCode = line.reachCode;
    if (!line.reachCode.empty()) fields.reachMeasure = ShortestText(line.fromMeas + (line.toMeas - line.fromMeas) * s);
    fields.offset = Fixed("%.2f", match.snap.offset);
    OGRPoint point;
    if (snapper_.PointOf(match, point)) {
      fields.snapLon = Fixed("%.7f", point.getX());
      fields.snapLat = Fixed("%.7f", point.getY());
    }
    const SectionRecord* section = sections_.Of(line);
    const ReachRecord* reach = section != nullptr ? tables_.ReachByComId(section->Com_id) : nullptr;
    if (reach == nullptr) {
      fields.note = "flowline " + fields.sourceId + " has no section in the tables";
      return fields;
    }
    fields.startReach = std::string(reach->Code());
    fields.startComid = std::to_string(section->Com_id);
    fields.startMeasure = ShortestText(section->F_meas + (section->T_meas - section->F_meas) * s);
    return fields;
  }

  const IndexOptions& options_;
  const NetworkTables& tables_;
  const FlowlineLines& lines_;
  const LineSections sections_;
  LineSnapper snapper_;
  const std::string beyond_;
};

}  // namespace

IndexSummary RunIndex(const IndexOptions& options, const IndexProgress& progress) {
  const std::vector<Site> sites = ReadSites(options.sites);
  IndexTable out(options.matches > 1, options.sites.keepColumns,
                 {options.navType, options.direction, options.distance, options.units});
  IndexSummary summary{sites.size(), 0};
  if (!sites.empty()) {
    const NetworkTables tables = LoadTableFolder(options.tables);
    const IdMap ids = IdMap::ReadFromFolder(options.tables);
    VectorSource source(options.geometry, options.layer);
    const FlowlineLines lines(source, progress.flowlines);
    SiteIndexer indexer(options, tables, ids, lines);
    const auto total = static_cast<std::int64_t>(sites.size());
    for (std::size_t n = 0; n < sites.size(); ++n) {
      if (indexer.Index(sites[n], out)) ++summary.snapped;
      if (progress.points && ((n + 1) % 4096 == 0 || n + 1 == sites.size())) {
        progress.points(static_cast<std::int64_t>(n + 1), total);
      }
    }
  }
  ReplaceFile(options.out, out.text());
  return summary;
}

}  // namespace rill::geo
