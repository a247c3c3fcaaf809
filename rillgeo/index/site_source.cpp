#include "rillgeo/index/site_source.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>
#include <strings.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "navigation/navigation.h"
#include "rillgeo/geometry/geo_error.h"
#include "rillgeo/geometry/ogr_columns.h"

namespace rill::geo {

namespace {

const std::initializer_list<std::string_view> kXNames = {"lon", "lng", "long", "longitude", "x"};
const std::initializer_list<std::string_view> kYNames = {"lat", "latitude", "y"};
const std::initializer_list<std::string_view> kIdNames = {"id", "site_id", "site", "name"};

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Where a column of the header stands, letter case ignored: the first of
// `names` that is there; -1 when none is.
int FindName(const std::vector<std::string>& header, std::initializer_list<std::string_view> names) {
  for (std::string_view name : names) {
    for (std::size_t i = 0; i < header.size(); ++i) {
      if (header[i].size() == name.size() && strncasecmp(header[i].c_str(), name.data(), name.size()) == 0) {
        return static_cast<int>(i);
      }
    }
  }
  return -1;
}

[[noreturn]] void NoCoordinates(const std::string& path) {
  throw OptionError(path +
                    " has no coordinate columns: looked for lon, lng, long, longitude or x, and lat, latitude or "
                    "y (letter case ignored); name them with --x and --y");
}

[[noreturn]] void NoColumn(const std::string& path, const std::string& column) {
  throw OptionError(path + " has no column " + column);
}

// A coordinate as strtod reads it, the whole text and nothing else.
bool ReadNumber(const std::string& text, double& value) {
  const std::string trimmed = Trimmed(text);
  if (trimmed.empty()) return false;
  char* end = nullptr;
  value = std::strtod(trimmed.c_str(), &end);
  return *end == '\0' && std::isfinite(value);
}

// Brings coordinates of one coordinate system to WGS 84 longitude/latitude.
class ToWgs84 {
 public:
  explicit ToWgs84(const OGRSpatialReference& source) {
    OGRSpatialReference wgs84;
    wgs84.SetWellKnownGeogCS("WGS84");
    wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    transform_.reset(OGRCreateCoordinateTransformation(&source, &wgs84));
    if (!transform_) throw OptionError("the points' coordinate system cannot be brought to WGS 84");
  }
  bool operator()(Site& site, double x, double y) const {
    site.located = transform_->Transform(1, &x, &y) != 0 && std::isfinite(x) && std::isfinite(y);
    site.lon = x;
    site.lat = y;
    return site.located;
  }

 private:
  std::unique_ptr<OGRCoordinateTransformation> transform_;
};

OGRSpatialReference SpatialReference(const std::string& text) {
  OGRSpatialReference srs;
  if (srs.SetFromUserInput(text.empty() ? "EPSG:4326" : text.c_str()) != OGRERR_NONE) {
    throw OptionError("--srs " + text + " is not a coordinate system");
  }
  srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  return srs;
}

std::vector<Site> ReadCsvSites(const SiteOptions& options) {
  const OpenedFile file = OpenToRead(options.path);
  if (!file) throw GeoError(options.path + " cannot be opened");
  CsvRecords records(file.get());
  std::vector<std::string> header;
  std::vector<Site> sites;
  if (!records.Next(header)) {
    if (records.ReadFailed()) throw GeoError(options.path + " cannot be read");
    return sites;
  }
  if (!header.empty() && header[0].rfind("\xEF\xBB\xBF", 0) == 0) header[0].erase(0, 3);
  for (std::string& name : header) name = Trimmed(name);
  const auto named = [&](const std::string& column) {
    const int at = FindName(header, {column});
    if (at < 0) NoColumn(options.path, column);
    return at;
  };
  const int x = options.x.empty() ? FindName(header, kXNames) : named(options.x);
  const int y = options.y.empty() ? FindName(header, kYNames) : named(options.y);
  if (x < 0 || y < 0) NoCoordinates(options.path);
  const int id = options.id.empty() ? FindName(header, kIdNames) : named(options.id);
  std::vector<int> kept;
  for (const std::string& column : options.keepColumns) kept.push_back(named(column));
  const ToWgs84 toWgs84(SpatialReference(options.srs));

  std::vector<std::string> fields;
  while (records.Next(fields)) {
    Site site;
    const auto field = [&](int at) { return at < static_cast<int>(fields.size()) ? fields[at] : std::string(); };
    site.id = id >= 0 ? field(id) : std::to_string(sites.size() + 1);
    double lon = 0.0, lat = 0.0;
    if (ReadNumber(field(x), lon) && ReadNumber(field(y), lat)) toWgs84(site, lon, lat);
    for (int at : kept) site.kept.push_back(field(at));
    sites.push_back(std::move(site));
  }
  if (records.ReadFailed()) throw GeoError(options.path + " cannot be read");
  return sites;
}

// The named layer, or the only one, or the first that holds points.
OGRLayer& PointLayer(GDALDataset& dataset, const SiteOptions& options) {
  for (int i = 0; i < dataset.GetLayerCount(); ++i) {
    OGRLayer* layer = dataset.GetLayer(i);
    if (!options.layer.empty() ? strcasecmp(layer->GetName(), options.layer.c_str()) == 0
                               : dataset.GetLayerCount() == 1 || wkbFlatten(layer->GetGeomType()) == wkbPoint) {
      return *layer;
    }
  }
  if (!options.layer.empty()) throw OptionError(options.path + " has no layer " + options.layer);
  throw OptionError(options.path + " holds several layers and none of points; name one with --points-layer");
}

std::vector<Site> ReadLayerSites(const SiteOptions& options) {
  const GDALDatasetUniquePtr dataset(GDALDataset::Open(options.path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
  if (!dataset) throw GeoError(options.path + " cannot be opened as a vector source");
  OGRLayer& layer = PointLayer(*dataset, options);
  const OGRFeatureDefn& fields = *layer.GetLayerDefn();
  const auto named = [&](const std::string& column) {
    const int at = FindColumn(fields, {column});
    if (at < 0) NoColumn(options.path, column);
    return at;
  };
  const int id = options.id.empty() ? FindColumn(fields, kIdNames) : named(options.id);
  std::vector<int> kept;
  for (const std::string& column : options.keepColumns) kept.push_back(named(column));
  const OGRSpatialReference* own = layer.GetSpatialRef();
  if (own == nullptr && options.srs.empty()) {
    throw OptionError(std::string("layer ") + layer.GetName() + " has no coordinate system; give one with --srs");
  }
  OGRSpatialReference srs = own != nullptr && options.srs.empty() ? *own : SpatialReference(options.srs);
  if (own != nullptr && options.srs.empty()) srs.SetDataAxisToSRSAxisMapping(own->GetDataAxisToSRSAxisMapping());
  const ToWgs84 toWgs84(srs);

  std::vector<Site> sites;
  layer.ResetReading();
  for (auto& feature : layer) {
    Site site;
    site.id = id >= 0 ? TextValue(*feature, id) : std::to_string(sites.size() + 1);
    const OGRGeometry* geometry = feature->GetGeometryRef();
    if (geometry != nullptr && wkbFlatten(geometry->getGeometryType()) == wkbPoint && !geometry->IsEmpty()) {
      toWgs84(site, geometry->toPoint()->getX(), geometry->toPoint()->getY());
    }
    for (int at : kept) site.kept.push_back(feature->IsFieldSetAndNotNull(at) ? TextValue(*feature, at) : "");
    sites.push_back(std::move(site));
  }
  return sites;
}

}  // namespace

std::vector<Site> ReadSites(const SiteOptions& options) {
  const std::string extension = std::filesystem::path(options.path).extension().string();
  if (strcasecmp(extension.c_str(), ".csv") == 0) return ReadCsvSites(options);
  return ReadLayerSites(options);
}

}  // namespace rill::geo
