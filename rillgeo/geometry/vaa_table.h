// The value-added attributes of NHDPlus flowlines as the products ship them
// apart from the lines (High Resolution's NHDPlusFlowlineVAA table, Version
// 2's PlusFlowlineVAA.dbf): read once, held by column, found by flowline id
// through a hash index.
#pragma once

#include <ogrsf_frmts.h>

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "text/status.h"

namespace rill::geo {

// The whole number a flowline id field holds: an integer, or a real or text
// holding an exact whole number (High Resolution stores its 14-digit ids as
// reals); nothing when the field is empty or holds anything else.
std::optional<std::int64_t> WholeId(OGRFeature& feature, int index);

// The id column of a flowline layer or table (COMID or NHDPlusID), or -1.
int IdColumn(const OGRFeatureDefn& fields);

class VaaTable {
 public:
  // Reads every row of `table` (of the file `file`, named in messages),
  // keeping the value-added columns a network is built from that the
  // flowline layer `lines` does not hold itself: where both hold a column,
  // the flowline's is read. A Status names the table, the column and the
  // file when the id column is missing or a row's id is not a whole number.
  // Of two rows with one id the first is kept.
  static StatusOr<VaaTable> Read(OGRLayer& table, const std::string& file, const OGRFeatureDefn& lines);

  // Appends the kept columns to `fields`, in their order.
  void AddFieldsTo(OGRFeatureDefn& fields) const;
  // The row of flowline `id`, or -1 when the table has none.
  std::int64_t RowOf(std::int64_t id) const;
  // Sets fields `first`, `first` + 1, ... of `feature` from row `row`.
  void Fill(OGRFeature& feature, std::int64_t row, int first) const;

 private:
  struct Column {
    std::string name;
    OGRFieldType type = OFTString;  // OFTInteger64, OFTReal or OFTString
    int source = -1;                // its field in the table
    std::vector<std::int64_t> wholes;
    std::vector<double> reals;
    std::vector<std::string> texts;
    std::vector<bool> set;
  };

  void AddRow(OGRFeature& row);

  std::vector<Column> columns_;
  std::unordered_map<std::int64_t, std::uint32_t> rows_;
};

}  // namespace rill::geo
