#include "rillgeo/geometry/vector_output.h"

#include <gdal_priv.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>
#include <strings.h>

#include <cstdlib>
#include <filesystem>

#include "navigation/navigation.h"
#include "rillgeo/geometry/geo_error.h"

namespace rill::geo {

namespace {

OGRFieldType TypeOfColumn(const std::string& name) {
  for (const char* whole : {"Com_id", "Duu_id"}) {
    if (strcasecmp(name.c_str(), whole) == 0) return OFTInteger64;
  }
  for (const char* real : {"FromMeasure", "ToMeasure", "Distance", "RchLength"}) {
    if (strcasecmp(name.c_str(), real) == 0) return OFTReal;
  }
  return OFTString;
}

void SetValue(OGRFeature& feature, int index, OGRFieldType type, const std::string& text) {
  if (text.empty()) return;  // left unset: null
  if (type == OFTInteger64) {
    feature.SetField(index, static_cast<GIntBig>(std::strtoll(text.c_str(), nullptr, 10)));
  } else if (type == OFTReal) {
    feature.SetField(index, std::strtod(text.c_str(), nullptr));
  } else {
    feature.SetField(index, text.c_str());
  }
}

void Write(const std::string& path, VectorFormat format, const ResultRows& results, const NavigationPieces& pieces) {
  const char* driverName = format == VectorFormat::GeoJson ? "GeoJSON" : "GPKG";
  GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(driverName);
  if (driver == nullptr) throw GeoError(std::string("GDAL has no ") + driverName + " driver");
  CPLErrorReset();
  GDALDatasetUniquePtr dataset(driver->Create(path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
  if (!dataset) throw GeoError(path + " cannot be created");

  OGRSpatialReference wgs84;
  wgs84.SetWellKnownGeogCS("WGS84");
  wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  char** options = nullptr;
  if (format == VectorFormat::GeoJson) options = CSLSetNameValue(options, "RFC7946", "YES");
  // A GeoPackage layer holds one geometry type: every row as a multi line.
  const bool multi = format == VectorFormat::GeoPackage;
  OGRLayer* layer = dataset->CreateLayer("navigation", &wgs84, multi ? wkbMultiLineString : wkbUnknown, options);
  CSLDestroy(options);
  if (layer == nullptr) throw GeoError(path + ": the layer cannot be created");

  // A GeoPackage takes its features in one transaction: one commit rather
  // than one per feature.
  const bool transaction = dataset->TestCapability(ODsCTransactions) && dataset->StartTransaction() == OGRERR_NONE;
  std::vector<OGRFieldType> types;
  for (const std::string& name : results.columns) {
    types.push_back(TypeOfColumn(name));
    OGRFieldDefn field(name.c_str(), types.back());
    if (layer->CreateField(&field) != OGRERR_NONE) throw GeoError(path + ": column " + name + " cannot be created");
  }
  for (std::size_t row = 0; row < results.rows.size(); ++row) {
    OGRFeature feature(layer->GetLayerDefn());
    for (std::size_t i = 0; i < types.size(); ++i) {
      SetValue(feature, static_cast<int>(i), types[i], results.rows[row][i]);
    }
    if (pieces.rows[row] && multi) {
      feature.SetGeometryDirectly(OGRGeometryFactory::forceToMultiLineString(pieces.rows[row]->clone()));
    } else if (pieces.rows[row]) {
      feature.SetGeometry(pieces.rows[row].get());
    }
    if (layer->CreateFeature(&feature) != OGRERR_NONE) throw GeoError(path + " could not be written");
  }
  if (transaction && dataset->CommitTransaction() != OGRERR_NONE) throw GeoError(path + " could not be written");
  dataset.reset();  // closing writes what is buffered; a failure shows as GDAL's last error
  if (CPLGetLastErrorType() == CE_Failure) {
    throw GeoError(path + " could not be written");
  }
}

}  // namespace

void WriteVectorFile(const std::string& path, VectorFormat format, const ResultRows& results,
                     const NavigationPieces& pieces) {
  PendingFile file(path);
  Write(file.temporaryPath(), format, results, pieces);
  if (!file.Commit()) throw GeoError(path + " could not be written");
}

}  // namespace rill::geo
