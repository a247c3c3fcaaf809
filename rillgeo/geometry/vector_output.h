// A navigation's pieces as GIS features: GeoJSON or a GeoPackage layer.
#pragma once

#include <string>

#include "rillgeo/geometry/navigation_pieces.h"
#include "rillgeo/geometry/results_file.h"

namespace rill::geo {

enum class VectorFormat { GeoJson, GeoPackage };

// Writes one feature per result row, the row's columns as its properties
// (Com_id and Duu_id whole numbers, measures and distances real numbers,
// the rest text), in WGS 84 longitude/latitude (GeoJSON as RFC 7946 asks).
// The file is written under a temporary name and replaces `path` only when
// complete; a GeoError when it cannot be written.
void WriteVectorFile(const std::string& path, VectorFormat format, const ResultRows& results,
                     const NavigationPieces& pieces);

}  // namespace rill::geo
