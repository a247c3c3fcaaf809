// The sites an index snaps: points of any vector layer GDAL opens, or rows
// of a CSV whose coordinate columns are found by name.
#pragma once

#include <string>
#include <vector>

namespace rill::geo {

struct SiteOptions {
  std::string path;
  std::string layer;  // the layer of a GDAL source (default: the only one, else the first of points)
  std::string x;      // coordinate columns of a CSV (default: found by name)
  std::string y;
  std::string id;                        // the id column (default: id, site_id, site, name; else the row number)
  std::string srs;                       // a CSV's coordinate system (default EPSG:4326)
  std::vector<std::string> keepColumns;  // columns copied to the output
};

struct Site {
  std::string id;
  bool located = false;  // the coordinates could be read and brought to WGS 84
  double lon = 0.0;
  double lat = 0.0;
  std::vector<std::string> kept;  // the values of SiteOptions::keepColumns
};

// Every site of the source, in its order. A GeoError when the source cannot
// be opened or read; an OptionError when it has no coordinate columns, a
// named column is not there, or the coordinate system cannot be used.
std::vector<Site> ReadSites(const SiteOptions& options);

}  // namespace rill::geo
