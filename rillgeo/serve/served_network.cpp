#include "rillgeo/serve/served_network.h"

#include <strings.h>

#include <cstdio>

#include "navigation/navigation.h"
#include "rillgeo/geometry/decimal_text.h"
#include "rillgeo/geometry/line_index.h"
#include "rillgeo/geometry/table_folder.h"
#include "rillgeo/geometry/vector_source.h"

namespace rill::geo {

namespace {

// The other columns of a site row, read back from the quoted fields the
// site table keeps, with the one CSV reader.
std::vector<std::string> TravelFields(const SiteRow& row) {
  std::vector<std::string> fields;
  if (row.travel.size() < 2) return fields;
  std::string line = row.travel.substr(1);
  std::FILE* file = fmemopen(line.data(), line.size(), "r");
  if (file == nullptr) return fields;
  CsvRecords records(file);
  records.Next(fields);
  std::fclose(file);
  return fields;
}

// The value of the travel column named `name` (letter case ignored), or "".
std::string Column(const SiteTable& table, const std::vector<std::string>& fields, const char* name) {
  for (std::size_t i = 0; i < table.travelNames.size() && i < fields.size(); ++i) {
    if (strcasecmp(table.travelNames[i].c_str(), name) == 0) return fields[i];
  }
  return {};
}

}  // namespace

StatusOr<std::unique_ptr<ServedNetwork>> ServedNetwork::Load(const std::string& tables,
                                                             const std::vector<std::string>& geometry,
                                                             const std::string& layer,
                                                             const std::vector<std::string>& features) {
  StatusOr<NetworkTables> loaded = LoadTableFolder(tables);
  if (!loaded.ok()) return loaded.status();
  StatusOr<IdMap> ids = IdMap::ReadFromFolder(tables);
  if (!ids.ok()) return ids.status();
  std::unique_ptr<ServedNetwork> network(new ServedNetwork(std::move(*loaded), std::move(*ids)));

  StatusOr<VectorSource> source = VectorSource::Open(geometry, layer);
  if (!source.ok()) return source.status();
  StatusOr<FlowlineLines> lines = FlowlineLines::Read(*source);
  if (!lines.ok()) return lines.status();
  network->lines_ = std::make_unique<FlowlineLines>(std::move(*lines));
  StatusOr<LineIndex> index = LineIndex::Build(*network->lines_);
  if (!index.ok()) return index.status();
  network->snapper_ = std::make_unique<LineSnapper>(*network->lines_, std::move(*index));
  network->sections_ = std::make_unique<LineSections>(network->tables_, network->ids_);

  for (std::size_t i = 0; i < network->tables_.reaches().size(); ++i) {
    const ReachRecord& reach = network->tables_.reaches()[i];
    network->reachOfPublicId_.emplace(network->PublicId(reach.Com_id), static_cast<std::int32_t>(i));
  }
  const std::vector<FlowlineLine>& all = network->lines_->all();
  for (std::size_t i = 0; i < all.size(); ++i) network->lineOfPublicId_.emplace(all[i].comId, i);

  for (const std::string& entry : features) {
    const Status added = network->AddSource(entry);
    if (!added.ok()) return added;
  }
  return network;
}

Status ServedNetwork::AddSource(const std::string& entry) {
  const std::size_t equals = entry.find('=');
  if (equals == std::string::npos || equals == 0 || equals + 1 == entry.size()) {
    return Status(Fault::Unusable, "--features " + entry + ": give NAME=SITES");
  }
  SiteSource source;
  source.name = entry.substr(0, equals);
  for (const char c : source.name) {
    const bool plain =
        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '.';
    if (!plain) {
      return Status(Fault::Unusable,
                    "--features " + entry + ": a NAME holds only letters, digits, '_', '-' and '.', as a URL does");
    }
  }
  if (strcasecmp(source.name.c_str(), "comid") == 0 || strcasecmp(source.name.c_str(), "flowlines") == 0 ||
      strcasecmp(source.name.c_str(), "hydrolocation") == 0 || Source(source.name) != nullptr) {
    return Status(Fault::Unusable, "--features " + entry + ": the source name " + source.name + " is taken");
  }
  StatusOr<SiteTable> table = ReadSiteTable(entry.substr(equals + 1));
  if (!table.ok()) return table.status();
  source.table = std::move(*table);
  source.placed = std::make_unique<PlacedSites>(source.table, tables_);

  // Each placed site, by its row, to find its reach and measure.
  std::vector<const PlacedSite*> placedOfRow(source.table.rows.size(), nullptr);
  std::vector<std::size_t> positionOfRow(source.table.rows.size(), 0);
  std::size_t position = 0;
  for (std::int32_t r = 0; r < static_cast<std::int32_t>(tables_.reaches().size()); ++r) {
    const auto [first, last] = source.placed->On(r);
    for (const PlacedSite* p = first; p != last; ++p) {
      if (source.placedBase == nullptr) source.placedBase = p;
      placedOfRow[static_cast<std::size_t>(p->row)] = p;
      positionOfRow[static_cast<std::size_t>(p->row)] = position++;
    }
  }
  GroundCutter cutter;
  source.byPlaced.resize(position, nullptr);
  source.sites.reserve(source.table.rows.size());
  for (std::size_t i = 0; i < source.table.rows.size(); ++i) {
    const SiteRow& row = source.table.rows[i];
    ServedSite site;
    site.row = static_cast<std::int32_t>(i);
    site.id = row.id;
    site.placed = placedOfRow[i];
    const std::vector<std::string> fields = TravelFields(row);
    site.name = Column(source.table, fields, "name");
    site.reachCode = Column(source.table, fields, "ReachCode");
    site.measure = Column(source.table, fields, "ReachMeasure");
    if (site.placed != nullptr) {
      const ReachRecord& reach = tables_.reaches()[static_cast<std::size_t>(site.placed->reach)];
      const double m = site.placed->hasMeasure ? site.placed->measure : 0.0;
      for (const SectionLine& s : LinesOf(reach.Com_id)) {
        if (m < s.fromMeasure || m > s.toMeasure || !(s.toMeasure > s.fromMeasure)) continue;
        // Measures count from the downstream end, the line from the upstream one.
        const double share = 1.0 - (m - s.fromMeasure) / (s.toMeasure - s.fromMeasure);
        OGRPoint point;
        if (!site.located && cutter.PointAt(*s.line->line, share, point)) {
          site.located = true;
          site.lon = point.getX();
          site.lat = point.getY();
          if (site.reachCode.empty()) site.reachCode = s.line->reachCode;
          if (site.measure.empty() && !s.line->reachCode.empty()) {
            site.measure = ShortestText(s.line->fromMeas + (s.line->toMeas - s.line->fromMeas) * (1.0 - share));
          }
        }
      }
      if (site.reachCode.empty()) site.reachCode = std::string(reach.Code());
    }
    source.sites.push_back(std::move(site));
  }
  for (std::size_t i = 0; i < source.sites.size(); ++i) {
    if (source.sites[i].placed != nullptr) source.byPlaced[positionOfRow[i]] = &source.sites[i];
    source.byId.emplace(source.sites[i].id, i);
  }
  sources_.push_back(std::move(source));
  return Status::Ok();
}

const SiteSource* ServedNetwork::Source(const std::string& name) const {
  for (const SiteSource& s : sources_) {
    if (s.name == name) return &s;
  }
  return nullptr;
}

std::optional<FlowlineStart> ServedNetwork::Flowline(std::int64_t comid) const {
  if (const auto reach = reachOfPublicId_.find(comid); reach != reachOfPublicId_.end()) {
    return FlowlineStart{reach->second, 0.0, 100.0};
  }
  const auto line = lineOfPublicId_.find(comid);
  if (line == lineOfPublicId_.end()) return std::nullopt;
  const SectionRecord* section = sections_->Of(lines_->all()[line->second]);
  if (section == nullptr) return std::nullopt;
  const std::int32_t reach = tables_.FindReachByComId(section->Com_id);
  if (reach < 0) return std::nullopt;
  return FlowlineStart{reach, section->F_meas, section->T_meas};
}

std::vector<ServedNetwork::SectionLine> ServedNetwork::LinesOf(std::int32_t comId) const {
  std::vector<SectionLine> found;
  for (const SectionRecord& s : tables_.SectionsOf(comId)) {
    const FlowlineLine* line =
        lines_->Find(ids_.SourceNode(s.Fnode), ids_.SourceNode(s.Tnode), ids_.SourceComId(s.Com_id));
    if (line != nullptr && line->line) found.push_back({line, s.F_meas, s.T_meas});
  }
  return found;
}

std::optional<ServedNetwork::Snapped> ServedNetwork::Snap(double lon, double lat, double radius) const {
  const std::lock_guard<std::mutex> lock(snapping_);
  const std::vector<LineMatch> matches = snapper_->Nearest(lon, lat, radius, 1);
  if (matches.empty()) return std::nullopt;
  Snapped snapped;
  snapped.line = &lines_->all()[matches.front().line];
  snapped.share = matches.front().snap.share;
  snapped.offset = matches.front().snap.offset;
  OGRPoint point;
  if (!snapper_->PointOf(matches.front(), point)) return std::nullopt;
  snapped.lon = point.getX();
  snapped.lat = point.getY();
  return snapped;
}

const SectionRecord* ServedNetwork::SectionOf(const FlowlineLine& line) const { return sections_->Of(line); }

const ServedSite* ServedNetwork::SiteOf(const SiteSource& source, const PlacedSite* p) {
  if (p == nullptr || source.placedBase == nullptr) return nullptr;
  const auto position = static_cast<std::size_t>(p - source.placedBase);
  return position < source.byPlaced.size() ? source.byPlaced[position] : nullptr;
}

}  // namespace rill::geo
