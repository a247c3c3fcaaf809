#include "rillgeo/geometry/vaa_table.h"

#include <charconv>
#include <cmath>
#include <string_view>

#include "rillgeo/geometry/ogr_columns.h"

namespace rill::geo {

namespace {

// The attributes a network is built from that a value-added table may hold,
// as the flowline reader names them; `needed` ones must be found in the
// flowline layer or in the table.
struct Wanted {
  std::string_view name;
  bool needed;
};
constexpr Wanted kWanted[] = {
    {"StreamLevel", true}, {"FromNode", true}, {"ToNode", true}, {"Hydroseq", true}, {"LevelPathID", true},
    {"StartFlag", true},   {"FromMeas", true}, {"ToMeas", true}, {"LENGTHKM", true}, {"REACHCODE", true},
    {"FDATE", false},      {"FTYPE", false},   {"FCODE", false},
};

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

std::optional<std::int64_t> WholeReal(double real) {
  // Beyond 2^53 a double no longer holds every whole number exactly.
  if (!(std::fabs(real) <= 9007199254740992.0) || real != std::trunc(real)) return std::nullopt;
  return static_cast<std::int64_t>(real);
}

OGRFieldType KeptType(OGRFieldType type) {
  if (type == OFTInteger || type == OFTInteger64) return OFTInteger64;
  if (type == OFTReal) return OFTReal;
  return OFTString;
}

}  // namespace

std::optional<std::int64_t> WholeId(OGRFeature& feature, int index) {
  if (!feature.IsFieldSetAndNotNull(index)) return std::nullopt;
  const OGRFieldType type = feature.GetFieldDefnRef(index)->GetType();
  if (type == OFTInteger || type == OFTInteger64) return feature.GetFieldAsInteger64(index);
  if (type == OFTReal) return WholeReal(feature.GetFieldAsDouble(index));
  const std::string_view text = Trimmed(feature.GetFieldAsString(index));
  const char* end = text.data() + text.size();
  std::int64_t whole = 0;
  const auto parsed = std::from_chars(text.data(), end, whole);
  if (!text.empty() && parsed.ec == std::errc() && parsed.ptr == end) return whole;
  double real = 0.0;
  const auto asReal = std::from_chars(text.data(), end, real);
  if (text.empty() || asReal.ec != std::errc() || asReal.ptr != end) return std::nullopt;
  return WholeReal(real);
}

int IdColumn(const OGRFeatureDefn& fields) { return FindColumn(fields, {"COMID", "NHDPlusID"}); }

StatusOr<VaaTable> VaaTable::Read(OGRLayer& table, const std::string& file, const OGRFeatureDefn& lines) {
  const OGRFeatureDefn& fields = *table.GetLayerDefn();
  const std::string where = std::string(" table ") + table.GetName() + " of " + file;
  const int linesId = IdColumn(lines);
  const int id = IdColumn(fields);
  if (id < 0) {
    const char* name = linesId >= 0 ? lines.GetFieldDefn(linesId)->GetNameRef() : "COMID";
    return Status(Fault::InputMissing, std::string("column ") + name + " is missing from" + where, file);
  }
  VaaTable vaa;
  std::vector<const char*> ignored;
  for (const Wanted& wanted : kWanted) {
    const int index = FindColumn(fields, {wanted.name});
    if (FindColumn(lines, {wanted.name}) >= 0) continue;
    if (index < 0) {
      if (!wanted.needed) continue;
      // Named as the products cut it, as users see it in their files.
      return Status(Fault::InputMissing,
                    "column " + std::string(wanted.name.substr(0, 10)) + " is missing from" + where, file);
    }
    const OGRFieldDefn& field = *fields.GetFieldDefn(index);
    vaa.columns_.push_back({field.GetNameRef(), KeptType(field.GetType()), index, {}, {}, {}, {}});
  }
  // Only the id and the kept columns are read: a table of fifty columns
  // reads several times faster.
  std::vector<bool> used(fields.GetFieldCount(), false);
  used[id] = true;
  for (const Column& column : vaa.columns_) used[column.source] = true;
  for (int i = 0; i < fields.GetFieldCount(); ++i) {
    if (!used[i]) ignored.push_back(fields.GetFieldDefn(i)->GetNameRef());
  }
  ignored.push_back("OGR_GEOMETRY");
  ignored.push_back(nullptr);
  table.SetIgnoredFields(ignored.data());

  const GIntBig count = table.GetFeatureCount(FALSE);
  if (count > 0) vaa.rows_.reserve(static_cast<std::size_t>(count));
  Status failed;
  table.ResetReading();
  for (auto& row : table) {
    const std::optional<std::int64_t> key = WholeId(*row, id);
    if (!key) {
      failed = Status(Fault::InputMissing,
                      "row " + std::to_string(row->GetFID()) + " of" + where + ": column " +
                          fields.GetFieldDefn(id)->GetNameRef() + " holds '" + row->GetFieldAsString(id) +
                          "', not a whole number",
                      file);
      break;
    }
    if (vaa.rows_.emplace(*key, static_cast<std::uint32_t>(vaa.rows_.size())).second) vaa.AddRow(*row);
  }
  table.SetIgnoredFields(nullptr);
  if (!failed.ok()) return failed;
  return vaa;
}

void VaaTable::AddRow(OGRFeature& row) {
  for (Column& column : columns_) {
    const bool set = row.IsFieldSetAndNotNull(column.source);
    column.set.push_back(set);
    if (column.type == OFTInteger64) {
      column.wholes.push_back(set ? row.GetFieldAsInteger64(column.source) : 0);
    } else if (column.type == OFTReal) {
      column.reals.push_back(set ? row.GetFieldAsDouble(column.source) : 0.0);
    } else {
      column.texts.emplace_back(set ? row.GetFieldAsString(column.source) : "");
    }
  }
}

void VaaTable::AddFieldsTo(OGRFeatureDefn& fields) const {
  for (const Column& column : columns_) {
    OGRFieldDefn field(column.name.c_str(), column.type);
    fields.AddFieldDefn(&field);
  }
}

std::int64_t VaaTable::RowOf(std::int64_t id) const {
  const auto found = rows_.find(id);
  return found == rows_.end() ? -1 : static_cast<std::int64_t>(found->second);
}

void VaaTable::Fill(OGRFeature& feature, std::int64_t row, int first) const {
  const auto at = static_cast<std::size_t>(row);
  for (std::size_t c = 0; c < columns_.size(); ++c) {
    const Column& column = columns_[c];
    const int field = first + static_cast<int>(c);
    if (!column.set[at]) {
      feature.SetFieldNull(field);
    } else if (column.type == OFTInteger64) {
      feature.SetField(field, static_cast<GIntBig>(column.wholes[at]));
    } else if (column.type == OFTReal) {
      feature.SetField(field, column.reals[at]);
    } else {
      feature.SetField(field, column.texts[at].c_str());
    }
  }
}

}  // namespace rill::geo
