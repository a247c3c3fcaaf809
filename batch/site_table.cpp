#include "batch/site_table.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "navigation/result_text.h"
#include "text/csv_records.h"
#include "text/letter_case.h"
#include "text/number_text.h"
#include "text/opened_file.h"

namespace rill {

namespace {

constexpr std::array<const char*, 4> kIdNames = {"Feature", "Site", "Request", "id"};
constexpr std::array<const char*, 2> kComIdNames = {"Com_id", "StartComid"};
constexpr std::array<const char*, 2> kMeasureNames = {"Measure", "StartMeasure"};
// The columns FEATURES writes before the site table's own.
constexpr std::array<const char*, 6> kFeatureColumns = {"Request",  "Feature", "Com_id",
                                                        "Rch_code", "Measure", "Distance"};

template <std::size_t N>
std::optional<std::size_t> FirstColumn(const std::vector<std::string>& header,
                                       const std::array<const char*, N>& names) {
  for (const char* name : names)
    for (std::size_t i = 0; i < header.size(); ++i)
      if (SameIgnoringCase(header[i], name)) return i;
  return std::nullopt;
}

bool Among(const std::string& name, const std::vector<std::string>& names) {
  for (const std::string& n : names)
    if (SameIgnoringCase(name, n)) return true;
  return false;
}

bool FeaturesHas(const std::string& name) {
  for (const char* known : kFeatureColumns)
    if (SameIgnoringCase(name, known)) return true;
  return false;
}

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A whole number with nothing else in the field (blanks around it allowed).
bool ReadComId(const std::string& text, std::int32_t& comId) {
  const std::string t = Trimmed(text);
  std::size_t i = (!t.empty() && (t[0] == '-' || t[0] == '+')) ? 1 : 0;
  if (i >= t.size()) return false;
  for (; i < t.size(); ++i)
    if (!std::isdigit(static_cast<unsigned char>(t[i]))) return false;
  comId = ReadWhole(t.c_str());
  return true;
}

// A measure: a number as strtod reads it, the whole field (blanks around it
// allowed), not NaN.
bool ReadMeasure(const std::string& text, double& measure) {
  const std::string t = Trimmed(text);
  if (t.empty()) return false;
  char* end = nullptr;
  measure = std::strtod(t.c_str(), &end);
  return end == t.c_str() + t.size() && !std::isnan(measure);
}

}  // namespace

namespace {

// Where a site table's columns stand.
struct SiteColumns {
  std::size_t width = 0;
  std::size_t id = 0;
  std::size_t comId = 0;
  std::optional<std::size_t> measure;
  std::vector<std::size_t> travel;
};

// Finds the columns of `header` and writes the table's travelHeader; fails
// (Unusable) naming the columns looked for.
StatusOr<SiteColumns> ColumnsOf(std::vector<std::string> header, SiteTable& table) {
  // A byte-order mark some spreadsheets put before the first name.
  if (!header.empty() && header[0].rfind("\xEF\xBB\xBF", 0) == 0) header[0].erase(0, 3);
  const std::optional<std::size_t> idAt = FirstColumn(header, kIdNames);
  const std::optional<std::size_t> comIdAt = FirstColumn(header, kComIdNames);
  if (!idAt || !comIdAt) {
    std::string missing = !idAt ? "id column (Feature, Site, Request or id)" : "";
    if (!comIdAt) missing += std::string(missing.empty() ? "" : " and no ") + "place column (Com_id or StartComid)";
    return Status(Fault::Unusable, "The site table " + table.path + " has no " + missing, table.path);
  }
  SiteColumns columns;
  columns.width = header.size();
  columns.id = *idAt;
  columns.comId = *comIdAt;
  columns.measure = FirstColumn(header, kMeasureNames);
  std::vector<std::string> ownNames;
  for (std::size_t i = 0; i < header.size(); ++i)
    if (i != columns.id && i != columns.comId && !(columns.measure && i == *columns.measure)) {
      columns.travel.push_back(i);
      ownNames.push_back(header[i]);
    }
  // A name FEATURES has takes the prefix Site, as often as it takes to be
  // unlike every other name; the others keep theirs.
  std::vector<std::string> travelNames;
  for (const std::string& own : ownNames) {
    std::string name = own;
    if (FeaturesHas(name))
      while (FeaturesHas(name) || Among(name, ownNames) || Among(name, travelNames)) name = "Site" + name;
    travelNames.push_back(name);
    table.travelHeader += "," + QuotedField(name);
  }
  table.idColumn = columns.id;
  table.comIdColumn = columns.comId;
  table.measureColumn = columns.measure;
  table.travelColumns = columns.travel;
  table.travelNames = std::move(travelNames);
  return columns;
}

SiteRow RowOf(const SiteColumns& columns, const std::vector<std::string>& fields, std::size_t line,
              bool unclosedQuote) {
  SiteRow row;
  row.line = line;
  if (unclosedQuote) {
    row.unreadable = "a quote is not closed at the end of the file";
  } else if (fields.size() != columns.width) {
    row.unreadable = "it has " + std::to_string(fields.size()) + " of the " + std::to_string(columns.width) + " fields";
  }
  if (columns.id < fields.size()) row.id = fields[columns.id];
  if (row.unreadable.empty()) {
    row.comId = fields[columns.comId];
    if (columns.measure) row.measure = fields[*columns.measure];
    for (std::size_t at : columns.travel) row.travel += "," + QuotedField(fields[at]);
  }
  return row;
}

}  // namespace

StatusOr<SiteTable> ReadSiteTable(const std::string& path) {
  OpenedFile file = OpenToRead(path);
  if (!file) return Status(Fault::InputMissing, "The site table " + path + " cannot be opened", path);
  CsvRecords records(file.get());
  std::vector<std::string> header;
  if (!records.Next(header)) {
    if (records.ReadFailed()) return Status(Fault::InputMissing, "The site table " + path + " cannot be read", path);
    header.clear();
  }
  SiteTable table;
  table.path = path;
  StatusOr<SiteColumns> columns = ColumnsOf(std::move(header), table);
  if (!columns.ok()) return columns.status();
  std::vector<std::string> fields;
  std::size_t line = 1;
  while (records.Next(fields)) table.rows.push_back(RowOf(*columns, fields, ++line, records.UnclosedQuote()));
  if (records.ReadFailed()) return Status(Fault::InputMissing, "The site table " + path + " cannot be read", path);
  return table;
}

StatusOr<SiteTable> SiteTableOf(const std::string& name, std::vector<std::string> header,
                                const std::vector<std::vector<std::string>>& records) {
  SiteTable table;
  table.path = name;
  StatusOr<SiteColumns> columns = ColumnsOf(std::move(header), table);
  if (!columns.ok()) return columns.status();
  std::size_t line = 1;
  for (const std::vector<std::string>& fields : records) table.rows.push_back(RowOf(*columns, fields, ++line, false));
  return table;
}

PlacedSites::PlacedSites(const SiteTable& table, const NetworkTables& tables)
    : hasSites_(tables.reaches().size(), false) {
  auto skip = [this](const SiteRow& row, std::string reason) {
    ++skipped_;
    if (named_.size() < kNamedSkips) named_.push_back(SkippedSite{row.line, row.id, std::move(reason)});
  };
  for (std::size_t r = 0; r < table.rows.size(); ++r) {
    const SiteRow& row = table.rows[r];
    if (!row.unreadable.empty()) {
      skip(row, row.unreadable);
      continue;
    }
    if (row.id.empty()) {
      skip(row, "it has no id");
      continue;
    }
    std::int32_t comId = 0;
    if (Trimmed(row.comId).empty()) {
      skip(row, "it has no Com_id");
      continue;
    }
    if (!ReadComId(row.comId, comId)) {
      skip(row, "its Com_id " + row.comId + " is not a whole number");
      continue;
    }
    const std::int32_t reach = tables.FindReachByComId(comId);
    if (reach < 0) {
      skip(row, "its Com_id " + std::to_string(comId) + " is not in the reach table");
      continue;
    }
    PlacedSite site;
    site.row = static_cast<std::int32_t>(r);
    site.reach = reach;
    if (!Trimmed(row.measure).empty()) {
      if (!ReadMeasure(row.measure, site.measure)) {
        skip(row, "its measure " + row.measure + " is not a number");
        continue;
      }
      const auto sections = tables.SectionsOf(comId);
      double low = INFINITY;
      double high = -INFINITY;
      for (const SectionRecord& s : sections) {
        low = std::min({low, s.F_meas, s.T_meas});
        high = std::max({high, s.F_meas, s.T_meas});
      }
      if (!(site.measure >= low && site.measure <= high)) {
        skip(row, sections.empty()
                      ? "its reach " + std::to_string(comId) + " has no sections to hold a measure"
                      : "its measure " + row.measure + " lies outside the sections of reach " + std::to_string(comId));
        continue;
      }
      site.hasMeasure = true;
    }
    hasSites_[static_cast<std::size_t>(reach)] = true;
    sites_.push_back(site);
  }
  std::stable_sort(sites_.begin(), sites_.end(),
                   [](const PlacedSite& a, const PlacedSite& b) { return a.reach < b.reach; });
}

std::pair<const PlacedSite*, const PlacedSite*> PlacedSites::On(std::int32_t reach) const {
  if (reach < 0 || static_cast<std::size_t>(reach) >= hasSites_.size() || !hasSites_[static_cast<std::size_t>(reach)])
    return {nullptr, nullptr};
  const auto first = std::lower_bound(sites_.begin(), sites_.end(), reach,
                                      [](const PlacedSite& s, std::int32_t r) { return s.reach < r; });
  const auto last =
      std::upper_bound(first, sites_.end(), reach, [](std::int32_t r, const PlacedSite& s) { return r < s.reach; });
  return {sites_.data() + (first - sites_.begin()), sites_.data() + (last - sites_.begin())};
}

}  // namespace rill
