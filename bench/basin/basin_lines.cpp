// Lines for a generated basin: basin_lines <tables/> <flowlines.gpkg>
// [<sites> <sites.csv>]. Reads the three tables and writes one flowline per
// reach as a GeoPackage with the NHDPlus columns rillgeo reads, laid out as
// a treemap (each reach's drainage gets an area in proportion to the
// reaches it holds, so lines spread evenly over the basin, about 3 km2 a
// reach as in NHDPlus). With a count, also writes that many sites, most a
// few metres to a few hundred metres off a random reach, as a CSV of
// longitude/latitude. Built where GDAL is, so gen_basin needs no GDAL.
#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "network/table_loader.h"

namespace {

using rill::NetworkTables;

constexpr double kSquareMetersPerReach = 3.0e6;
constexpr double kLon0 = -100.0;  // the basin's south-west corner
constexpr double kLat0 = 30.0;
constexpr double kMetersPerDegree = 111195.0;

struct Box {
  double x0, y0, x1, y1;
  double cx() const { return (x0 + x1) / 2; }
  double cy() const { return (y0 + y1) / 2; }
};

struct Layout {
  std::vector<std::int32_t> down;             // reach index it drains to, -1 for none
  std::vector<std::vector<std::int32_t>> up;  // reaches draining into it
  std::vector<std::int64_t> drainage;         // reaches upstream, itself included
  std::vector<Box> boxes;
  std::vector<std::int32_t> order;  // every reach after the one it drains to
};

// splitmix64, as the generator draws.
struct Random {
  std::uint64_t state;
  std::uint64_t Next() {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  double Unit() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }
};

Layout LayOut(const NetworkTables& tables) {
  const auto& reaches = tables.reaches();
  const std::size_t n = reaches.size();
  Layout layout{std::vector<std::int32_t>(n, -1),
                std::vector<std::vector<std::int32_t>>(n),
                std::vector<std::int64_t>(n, 1),
                std::vector<Box>(n),
                {}};
  for (std::size_t i = 0; i < n; ++i) {
    std::int32_t best = -1;
    for (std::int32_t row : tables.RowsFrom(reaches[i].Com_id)) {
      const auto& flow = tables.flows()[row];
      const std::int32_t into = tables.FindReachByComId(flow.Com_id2);
      if (into < 0 || into == static_cast<std::int32_t>(i) || flow.Dir == rill::kDirCoast) continue;
      if (best < 0 || flow.DLevel == 0) best = into;
      if (flow.DLevel == 0) break;
    }
    layout.down[i] = best;
  }
  // Breadth first from the outlets: the order to share out the boxes in;
  // a reach on a loop of rows is taken as an outlet of its own.
  std::vector<std::int32_t>& order = layout.order;
  std::vector<char> placed(n, 0);
  for (std::size_t i = 0; i < n; ++i) {
    if (layout.down[i] >= 0) layout.up[layout.down[i]].push_back(static_cast<std::int32_t>(i));
  }
  const auto visit = [&](std::int32_t root) {
    const std::size_t begin = order.size();
    order.push_back(root);
    placed[root] = 1;
    for (std::size_t k = begin; k < order.size(); ++k) {
      for (std::int32_t u : layout.up[order[k]]) {
        if (!placed[u]) placed[u] = 1, order.push_back(u);
      }
    }
  };
  for (std::size_t i = 0; i < n; ++i) {
    if (layout.down[i] < 0) visit(static_cast<std::int32_t>(i));
  }
  for (std::size_t i = 0; i < n; ++i) {
    if (!placed[i]) layout.down[i] = -1, visit(static_cast<std::int32_t>(i));
  }
  for (std::size_t k = order.size(); k-- > 0;) {
    const std::int32_t r = order[k];
    if (layout.down[r] >= 0) layout.drainage[layout.down[r]] += layout.drainage[r];
  }
  // The outlets side by side in one square; each box is then cut along its
  // longer side: a slice for the reach itself, one per tributary.
  const double side = std::sqrt(kSquareMetersPerReach * static_cast<double>(n));
  double at = 0.0;
  for (std::int32_t r : order) {
    if (layout.down[r] >= 0) continue;
    const double width = side * static_cast<double>(layout.drainage[r]) / static_cast<double>(n);
    layout.boxes[r] = {at, 0.0, at + width, side};
    at += width;
  }
  for (std::int32_t r : order) {
    const Box box = layout.boxes[r];
    const bool alongX = box.x1 - box.x0 >= box.y1 - box.y0;
    const double length = alongX ? box.x1 - box.x0 : box.y1 - box.y0;
    double start = (alongX ? box.x0 : box.y0) + length / static_cast<double>(layout.drainage[r]);
    for (std::int32_t u : layout.up[r]) {
      const double share = length * static_cast<double>(layout.drainage[u]) / static_cast<double>(layout.drainage[r]);
      layout.boxes[u] = alongX ? Box{start, box.y0, start + share, box.y1} : Box{box.x0, start, box.x1, start + share};
      start += share;
    }
  }
  return layout;
}

void ToLonLat(double x, double y, double& lon, double& lat) {
  lat = kLat0 + y / kMetersPerDegree;
  lon = kLon0 + x / (kMetersPerDegree * std::cos(lat * M_PI / 180.0));
}

// From the reach's box centre to the centre of the box it drains to (or the
// bottom edge of an outlet's), upstream first, bending a little.
OGRLineString LineOf(const Layout& layout, std::int32_t r, Random& random) {
  const Box& box = layout.boxes[r];
  const double x0 = box.cx(), y0 = box.cy();
  const double x1 = layout.down[r] >= 0 ? layout.boxes[layout.down[r]].cx() : box.cx();
  const double y1 = layout.down[r] >= 0 ? layout.boxes[layout.down[r]].cy() : box.y0;
  const double dx = x1 - x0, dy = y1 - y0;
  OGRLineString line;
  constexpr int kVertices = 8;
  for (int k = 0; k < kVertices; ++k) {
    const double t = static_cast<double>(k) / (kVertices - 1);
    const double bend = (k == 0 || k == kVertices - 1) ? 0.0 : (random.Unit() - 0.5) * 0.1;
    double lon = 0, lat = 0;
    ToLonLat(x0 + t * dx - bend * dy, y0 + t * dy + bend * dx, lon, lat);
    line.addPoint(lon, lat);
  }
  return line;
}

int WriteLines(const NetworkTables& tables, const Layout& layout, const std::string& path) {
  GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("GPKG");
  GDALDatasetUniquePtr dataset(driver->Create(path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
  if (!dataset) return 1;
  OGRSpatialReference wgs84;
  wgs84.SetWellKnownGeogCS("WGS84");
  OGRLayer* layer = dataset->CreateLayer("NHDFlowline_Network", &wgs84, wkbMultiLineString, nullptr);
  const char* whole[] = {"COMID", "StreamLeve", "FromNode", "ToNode", "Hydroseq", "LevelPathI", "StartFlag"};
  for (const char* name : whole) {
    OGRFieldDefn field(name, OFTInteger64);
    layer->CreateField(&field);
  }
  for (const char* name : {"LENGTHKM", "FromMeas", "ToMeas"}) {
    OGRFieldDefn field(name, OFTReal);
    layer->CreateField(&field);
  }
  for (const char* name : {"FDATE", "REACHCODE", "FTYPE"}) {
    OGRFieldDefn field(name, OFTString);
    layer->CreateField(&field);
  }
  const auto& reaches = tables.reaches();
  // A level path is named for its lowest reach.
  std::vector<std::int64_t> levelPath(reaches.size(), 0);
  for (std::int32_t r : layout.order) {
    const std::int32_t down = layout.down[r];
    const bool same = down >= 0 && reaches[down].Level == reaches[r].Level;
    levelPath[r] = same ? levelPath[down] : reaches[r].Com_id;
  }
  Random random{7};
  dataset->StartTransaction();
  for (std::size_t i = 0; i < reaches.size(); ++i) {
    const auto& reach = reaches[i];
    const auto sections = tables.SectionsOf(reach.Com_id);
    if (sections.empty()) continue;
    const auto top = std::max_element(sections.begin(), sections.end(),
                                      [](const auto& a, const auto& b) { return a.T_meas < b.T_meas; });
    const auto bottom = std::min_element(sections.begin(), sections.end(),
                                         [](const auto& a, const auto& b) { return a.F_meas < b.F_meas; });
    bool headwater = false, coast = false;
    for (std::int32_t row : tables.RowsInto(reach.Com_id)) {
      headwater = headwater || tables.flows()[row].Dir == rill::kDirHeadwater;
      coast = coast || tables.flows()[row].Dir == rill::kDirCoast;
    }
    OGRFeature feature(layer->GetLayerDefn());
    feature.SetField("COMID", static_cast<GIntBig>(reach.Com_id));
    feature.SetField("StreamLeve", reach.Level);
    feature.SetField("FromNode", static_cast<GIntBig>(top->Fnode));
    feature.SetField("ToNode", static_cast<GIntBig>(bottom->Tnode));
    feature.SetField("Hydroseq", static_cast<GIntBig>(reach.Duu_id));
    feature.SetField("LevelPathI", static_cast<GIntBig>(levelPath[i]));
    feature.SetField("StartFlag", headwater ? 1 : 0);
    feature.SetField("LENGTHKM", reach.Meters / 1000.0);
    feature.SetField("FromMeas", 0.0);
    feature.SetField("ToMeas", 100.0);
    feature.SetField("FDATE", std::string(reach.Date()).c_str());
    feature.SetField("REACHCODE", std::string(reach.Code()).c_str());
    feature.SetField("FTYPE", coast ? "Coastline" : "StreamRiver");
    OGRMultiLineString lines;
    OGRLineString line = LineOf(layout, static_cast<std::int32_t>(i), random);
    lines.addGeometry(&line);
    feature.SetGeometry(&lines);
    if (layer->CreateFeature(&feature) != OGRERR_NONE) return 1;
  }
  return dataset->CommitTransaction() == OGRERR_NONE ? 0 : 1;
}

// Sites off random reaches: 19 in 20 within 150 m of the line, the rest
// anywhere in the basin (mostly beyond any radius).
int WriteSites(const Layout& layout, long count, const std::string& path) {
  std::FILE* out = std::fopen(path.c_str(), "w");
  if (out == nullptr) return 1;
  std::fprintf(out, "id,lon,lat\n");
  Random random{11};
  const std::size_t n = layout.boxes.size();
  for (long k = 1; k <= count; ++k) {
    const auto r = static_cast<std::int32_t>(random.Next() % n);
    const Box& box = layout.boxes[r];
    double x = 0, y = 0;
    if (random.Next() % 20 != 0) {
      const double x1 = layout.down[r] >= 0 ? layout.boxes[layout.down[r]].cx() : box.cx();
      const double y1 = layout.down[r] >= 0 ? layout.boxes[layout.down[r]].cy() : box.y0;
      const double t = random.Unit();
      const double angle = random.Unit() * 2 * M_PI, off = random.Unit() * 150.0;
      x = box.cx() + t * (x1 - box.cx()) + off * std::cos(angle);
      y = box.cy() + t * (y1 - box.cy()) + off * std::sin(angle);
    } else {
      x = layout.boxes.front().x0 + random.Unit() * 1e6;
      y = random.Unit() * 1e6;
    }
    double lon = 0, lat = 0;
    ToLonLat(x, y, lon, lat);
    std::fprintf(out, "s%ld,%.7f,%.7f\n", k, lon, lat);
  }
  return std::fclose(out) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 5) {
    std::fprintf(stderr, "usage: basin_lines <tables/> <flowlines.gpkg> [<sites> <sites.csv>]\n");
    return 2;
  }
  GDALAllRegister();
  NetworkTables tables;
  rill::TextWriter discard = rill::TextWriter::Discarding();
  if (!rill::LoadNetworkTables(rill::TablePathsFor(argv[1], ""), rill::ReadWholeFile, discard, tables).ok()) {
    std::fprintf(stderr, "basin_lines: the tables in %s cannot be read\n", argv[1]);
    return 1;
  }
  const Layout layout = LayOut(tables);
  if (WriteLines(tables, layout, argv[2]) != 0) {
    std::fprintf(stderr, "basin_lines: %s cannot be written\n", argv[2]);
    return 1;
  }
  if (argc == 5 && WriteSites(layout, std::atol(argv[3]), argv[4]) != 0) {
    std::fprintf(stderr, "basin_lines: %s cannot be written\n", argv[4]);
    return 1;
  }
  return 0;
}
