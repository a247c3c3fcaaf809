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
#include "rillgeo/geometry/ogr_columns.h"
#include "rillgeo/index/site_checks.h"

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

Status NoCoordinates(const std::string& path) {
  return Status(Fault::Unusable, path +
                                     " has no coordinate columns: looked for lon, lng, long, longitude or x, and lat, "
                                     "latitude or y (letter case ignored); name them with --x and --y");
}

Status NoColumn(const std::string& path, const std::string& column) {
  return Status(Fault::Unusable, path + " has no column " + column);
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
  // A fault (Fault::Unusable) when `source` cannot be brought to WGS 84.
  static StatusOr<ToWgs84> From(const OGRSpatialReference& source) {
    OGRSpatialReference wgs84;
    wgs84.SetWellKnownGeogCS("WGS84");
    wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    ToWgs84 toWgs84;
    toWgs84.transform_.reset(OGRCreateCoordinateTransformation(&source, &wgs84));
    if (!toWgs84.transform_) {
      return Status(Fault::Unusable, "the points' coordinate system cannot be brought to WGS 84");
    }
    return toWgs84;
  }
  bool operator()(Site& site, double x, double y) const {
    site.located = transform_->Transform(1, &x, &y) != 0 && std::isfinite(x) && std::isfinite(y);
    site.lon = x;
    site.lat = y;
    return site.located;
  }

 private:
  ToWgs84() = default;

  std::unique_ptr<OGRCoordinateTransformation> transform_;
};

// Sets `srs` from the text of --srs (EPSG:4326 when it is empty).
Status ReadSpatialReference(const std::string& text, OGRSpatialReference& srs) {
  if (srs.SetFromUserInput(text.empty() ? "EPSG:4326" : text.c_str()) != OGRERR_NONE) {
    return Status(Fault::Unusable, "--srs " + text + " is not a coordinate system");
  }
  srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  return Status::Ok();
}

StatusOr<std::vector<Site>> ReadCsvSites(const SiteOptions& options) {
  const OpenedFile file = OpenToRead(options.path);
  if (!file) return Status(Fault::InputMissing, options.path + " cannot be opened");
  CsvRecords records(file.get());
  std::vector<std::string> header;
  std::vector<Site> sites;
  if (!records.Next(header)) {
    if (records.ReadFailed()) return Status(Fault::InputMissing, options.path + " cannot be read");
    return sites;
  }
  if (!header.empty() && header[0].rfind("\xEF\xBB\xBF", 0) == 0) header[0].erase(0, 3);
  for (std::string& name : header) name = Trimmed(name);
  Status missing;  // the first column named that is not there
  const auto named = [&](const std::string& column) {
    const int at = FindName(header, {column});
    if (at < 0 && missing.ok()) missing = NoColumn(options.path, column);
    return at;
  };
  const int x = options.x.empty() ? FindName(header, kXNames) : named(options.x);
  const int y = options.y.empty() ? FindName(header, kYNames) : named(options.y);
  if (!missing.ok()) return missing;
  if (x < 0 || y < 0) return NoCoordinates(options.path);
  const int id = options.id.empty() ? FindName(header, kIdNames) : named(options.id);
  std::vector<int> kept;
  for (const std::string& column : options.keepColumns) kept.push_back(named(column));
  if (!missing.ok()) return missing;
  OGRSpatialReference srs;
  const Status srsRead = ReadSpatialReference(options.srs, srs);
  if (!srsRead.ok()) return srsRead;
  const StatusOr<ToWgs84> toWgs84 = ToWgs84::From(srs);
  if (!toWgs84.ok()) return toWgs84.status();
  LonLatCheck check(srs);

  std::vector<std::string> fields;
  while (records.Next(fields)) {
    Site site;
    const auto field = [&](int at) { return at < static_cast<int>(fields.size()) ? fields[at] : std::string(); };
    site.id = id >= 0 ? field(id) : std::to_string(sites.size() + 1);
    double lon = 0.0, lat = 0.0;
    if (ReadNumber(field(x), lon) && ReadNumber(field(y), lat)) {
      check(site.id, lon, lat);
      (*toWgs84)(site, lon, lat);
    }
    for (int at : kept) site.kept.push_back(field(at));
    sites.push_back(std::move(site));
  }
  if (records.ReadFailed()) return Status(Fault::InputMissing, options.path + " cannot be read");
  if (!check.status().ok()) return check.status();
  return sites;
}

// The named layer, or the only one, or the first that holds points.
StatusOr<OGRLayer*> PointLayer(GDALDataset& dataset, const SiteOptions& options) {
  for (int i = 0; i < dataset.GetLayerCount(); ++i) {
    OGRLayer* layer = dataset.GetLayer(i);
    if (!options.layer.empty() ? strcasecmp(layer->GetName(), options.layer.c_str()) == 0
                               : dataset.GetLayerCount() == 1 || wkbFlatten(layer->GetGeomType()) == wkbPoint) {
      return layer;
    }
  }
  if (!options.layer.empty()) return Status(Fault::Unusable, options.path + " has no layer " + options.layer);
  return Status(Fault::Unusable,
                options.path + " holds several layers and none of points; name one with --points-layer");
}

StatusOr<std::vector<Site>> ReadLayerSites(const SiteOptions& options) {
  const GDALDatasetUniquePtr dataset(GDALDataset::Open(options.path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
  if (!dataset) return Status(Fault::InputMissing, options.path + " cannot be opened as a vector source");
  const StatusOr<OGRLayer*> found = PointLayer(*dataset, options);
  if (!found.ok()) return found.status();
  OGRLayer& layer = **found;
  const OGRFeatureDefn& fields = *layer.GetLayerDefn();
  Status missing;  // the first column named that is not there
  const auto named = [&](const std::string& column) {
    const int at = FindColumn(fields, {column});
    if (at < 0 && missing.ok()) missing = NoColumn(options.path, column);
    return at;
  };
  const int id = options.id.empty() ? FindColumn(fields, kIdNames) : named(options.id);
  std::vector<int> kept;
  for (const std::string& column : options.keepColumns) kept.push_back(named(column));
  if (!missing.ok()) return missing;
  const OGRSpatialReference* own = layer.GetSpatialRef();
  if (own == nullptr && options.srs.empty()) {
    return Status(Fault::Unusable,
                  std::string("layer ") + layer.GetName() + " has no coordinate system; give one with --srs");
  }
  OGRSpatialReference srs;
  if (own != nullptr && options.srs.empty()) {
    srs = *own;
    srs.SetDataAxisToSRSAxisMapping(own->GetDataAxisToSRSAxisMapping());
  } else {
    const Status srsRead = ReadSpatialReference(options.srs, srs);
    if (!srsRead.ok()) return srsRead;
  }
  const StatusOr<ToWgs84> toWgs84 = ToWgs84::From(srs);
  if (!toWgs84.ok()) return toWgs84.status();
  LonLatCheck check(srs);

  std::vector<Site> sites;
  layer.ResetReading();
  for (auto& feature : layer) {
    Site site;
    site.id = id >= 0 ? TextValue(*feature, id) : std::to_string(sites.size() + 1);
    const OGRGeometry* geometry = feature->GetGeometryRef();
    if (geometry != nullptr && wkbFlatten(geometry->getGeometryType()) == wkbPoint && !geometry->IsEmpty()) {
      check(site.id, geometry->toPoint()->getX(), geometry->toPoint()->getY());
      (*toWgs84)(site, geometry->toPoint()->getX(), geometry->toPoint()->getY());
    }
    for (int at : kept) site.kept.push_back(feature->IsFieldSetAndNotNull(at) ? TextValue(*feature, at) : "");
    sites.push_back(std::move(site));
  }
  if (!check.status().ok()) return check.status();
  return sites;
}

}  // namespace

StatusOr<std::vector<Site>> ReadSites(const SiteOptions& options) {
  const std::string extension = std::filesystem::path(options.path).extension().string();
  if (strcasecmp(extension.c_str(), ".csv") == 0) return ReadCsvSites(options);
  return ReadLayerSites(options);
}

}  // namespace rill::geo
