// Reading attribute columns of an OGR layer by name, whatever the format
// stored them as (a CSV holds text, a GeoPackage numbers and dates).
#pragma once

#include <ogrsf_frmts.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "text/status.h"

namespace rill::geo {

// Index of the first field whose name equals one of `names`, letter case
// ignored, else one named as a name's first 10 characters; -1 when none.
int FindColumn(const OGRFeatureDefn& fields, std::initializer_list<std::string_view> names);

// The columns a reader needs from one layer. A reader asks for each column,
// then for status() once: the first required column that was missing, as a
// fault (Fault::InputMissing) naming `names`' first entry and the layer.
class LayerColumns {
 public:
  explicit LayerColumns(const OGRFeatureDefn& fields) : fields_(fields) {}

  // As FindColumn.
  int Find(std::initializer_list<std::string_view> names) const { return FindColumn(fields_, names); }
  // As Find; a column that is missing is noted in status() when it is the first.
  int Require(std::initializer_list<std::string_view> names);

  const Status& status() const { return status_; }

 private:
  const OGRFeatureDefn& fields_;
  Status status_;
};

// The text of field `index` of `feature`, blanks around it removed; empty
// for an empty field.
std::string TextValue(OGRFeature& feature, int index);

// The values of one feature's fields. A reader reads every value it needs,
// then asks status() once: the first value that was empty or could not be
// read as asked, as a fault (Fault::InputMissing) naming the column and the
// feature. A value that cannot be read comes back as 0 or empty text.
class FieldReader {
 public:
  explicit FieldReader(OGRFeature& feature) : feature_(feature) {}

  std::int64_t Whole(int index);
  double Real(int index);
  // A length as exact decimal text ("1.507").
  std::string Decimal(int index);
  // A date as YYYYMMDD: the first ten characters of its text without the dashes.
  std::string Date(int index);

  bool ok() const { return status_.ok(); }
  const Status& status() const { return status_; }

 private:
  // Notes that field `index` holds no `wanted`, when it is the first fault.
  void Unreadable(int index, std::string_view wanted);

  OGRFeature& feature_;
  Status status_;
};

}  // namespace rill::geo
