// The geometry layer of rillgeo: what every command stands on.
//
// It owns the lines of the flowlines (read from any vector source GDAL
// opens, in the layouts NHDPlus is downloaded in: lines and value-added
// attributes joined by flowline id, several sources read as one; brought
// to WGS 84), lengths and cuts on the ground, the spatial
// index that finds the lines near a point and the snapping of a point to
// them, the tables and results as the commands read them (a table folder,
// its idmap.csv, a run's or a batch's result CSV), the pieces of a
// navigation cut out of the lines, and the GDAL/OGR helpers the commands
// share: reading attribute columns by name, writing GeoJSON or a
// GeoPackage layer, replacing a file only once complete.
//
// It may call the navigation interface (navigation/navigation.h), GDAL and
// GEOS, never a command (import/, index/, map/, and those to come) nor the
// program; the build refuses such an include. It never prints and never
// throws: a call that can fail returns a Status or a StatusOr<T> whose
// message is the line the program shows, or, for the objects that do a
// long piece of work (GroundCutter, LineSnapper), keeps the first fault in
// a status() the caller asks once the work is done.
#pragma once

#include "rillgeo/geometry/decimal_text.h"
#include "rillgeo/geometry/flowline_lines.h"
#include "rillgeo/geometry/ground_cutter.h"
#include "rillgeo/geometry/id_map.h"
#include "rillgeo/geometry/line_index.h"
#include "rillgeo/geometry/line_sections.h"
#include "rillgeo/geometry/line_snapper.h"
#include "rillgeo/geometry/navigation_pieces.h"
#include "rillgeo/geometry/ogr_columns.h"
#include "rillgeo/geometry/results_file.h"
#include "rillgeo/geometry/table_folder.h"
#include "rillgeo/geometry/vector_output.h"
#include "rillgeo/geometry/vector_source.h"
#include "rillgeo/geometry/whole_file.h"
