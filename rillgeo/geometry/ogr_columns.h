// Reading attribute columns of an OGR layer by name, whatever the format
// stored them as (a CSV holds text, a GeoPackage numbers and dates).
#pragma once

#include <ogrsf_frmts.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace rill::geo {

// Index of the first field whose name equals one of `names`, letter case
// ignored; -1 when there is none.
int FindColumn(const OGRFeatureDefn& fields, std::initializer_list<std::string_view> names);

// As FindColumn, but a missing column is a GeoError naming `names`' first
// entry and the layer.
int RequireColumn(const OGRFeatureDefn& fields, std::initializer_list<std::string_view> names);

// The value of field `index` of `feature`; a GeoError naming the column and
// the feature when it is empty or cannot be read as asked.
std::int64_t WholeValue(OGRFeature& feature, int index);
double RealValue(OGRFeature& feature, int index);
std::string TextValue(OGRFeature& feature, int index);
// A length as exact decimal text ("1.507").
std::string DecimalValue(OGRFeature& feature, int index);
// A date as YYYYMMDD: the first ten characters of its text without the dashes.
std::string DateValue(OGRFeature& feature, int index);

}  // namespace rill::geo
