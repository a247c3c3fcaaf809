#include "batch/request_columns.h"

#include <cctype>

#include "navigator/command_line.h"
#include "network/table_loader.h"
#include "text/number_text.h"

namespace rill {

namespace {

constexpr std::array<const char*, static_cast<std::size_t>(RequestColumn::Count)> kNames = {
    "Request",  "NavType",       "StartReach",          "StartMeasure",    "EndReach", "EndMeasure", "Direction",
    "Distance", "DistanceUnits", "WholeReachStartMode", "EndAtCUBoundary", "Tables",   "Prefix"};

constexpr std::array<RequestColumn, 4> kRequired = {RequestColumn::Request, RequestColumn::NavType,
                                                    RequestColumn::StartReach, RequestColumn::Direction};

bool SameName(const std::string& a, const char* b) {
  std::size_t i = 0;
  for (; i < a.size() && b[i] != '\0'; ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return i == a.size() && b[i] == '\0';
}

// A table folder named without its trailing separator gets one.
std::string AsFolder(std::string folder) {
  if (folder.empty() || folder.back() == '/') return folder;
#ifdef _WIN32
  if (folder.back() == '\\' || folder.back() == ':') return folder;
#endif
  folder.push_back('/');
  return folder;
}

}  // namespace

std::variant<RequestColumns, std::string> RequestColumns::FromHeader(const std::vector<std::string>& header) {
  RequestColumns columns;
  columns.width_ = header.size();
  for (std::size_t i = 0; i < header.size(); ++i) {
    std::string name = header[i];
    // A byte-order mark some spreadsheets put before the first name.
    if (i == 0 && name.rfind("\xEF\xBB\xBF", 0) == 0) name.erase(0, 3);
    std::size_t k = 0;
    while (k < kNames.size() && !SameName(name, kNames[k])) ++k;
    if (k == kNames.size()) return "The requests table has an unknown column \"" + name + "\"";
    if (columns.at_[k]) return "The requests table has the column " + std::string(kNames[k]) + " twice";
    columns.at_[k] = i;
  }
  for (RequestColumn required : kRequired)
    if (!columns.Has(required))
      return "The requests table has no column " + std::string(kNames[static_cast<std::size_t>(required)]);
  return columns;
}

const std::string& RequestColumns::Field(const std::vector<std::string>& record, RequestColumn column) const {
  static const std::string kEmpty;
  const auto& at = at_[static_cast<std::size_t>(column)];
  return at && *at < record.size() ? record[*at] : kEmpty;
}

std::variant<BatchRequest, RequestRefusal> ReadRequest(const RequestColumns& columns,
                                                       const std::vector<std::string>& record,
                                                       const std::string& defaultTables) {
  auto field = [&](RequestColumn c) -> const std::string& { return columns.Field(record, c); };
  BatchRequest b;
  b.id = field(RequestColumn::Request);
  if (record.size() != columns.width())
    return RequestRefusal{b.id, "The line has " + std::to_string(record.size()) + " fields; the header has " +
                                    std::to_string(columns.width())};
  for (RequestColumn required : kRequired)
    if (field(required).empty())
      return RequestRefusal{b.id, "The field " + std::string(kNames[static_cast<std::size_t>(required)]) + " is empty"};

  NavRequest& r = b.request;
  r.NavType = ReadWhole(field(RequestColumn::NavType).c_str());
  r.StartReach = field(RequestColumn::StartReach);
  r.StartMeasure = ReadDecimal(field(RequestColumn::StartMeasure).c_str());
  r.EndReach = field(RequestColumn::EndReach);
  r.EndMeasure = ReadDecimal(field(RequestColumn::EndMeasure).c_str());
  r.Direction = field(RequestColumn::Direction);
  r.Distance = ReadDecimal(field(RequestColumn::Distance).c_str());
  r.DistanceUnits = field(RequestColumn::DistanceUnits);
  r.WholeReachStartMode = Low16(ReadWhole(field(RequestColumn::WholeReachStartMode).c_str()));
  r.EndAtCUBoundary = Low16(ReadWhole(field(RequestColumn::EndAtCUBoundary).c_str()));
  r.WorkPath = AsFolder(columns.Has(RequestColumn::Tables) ? field(RequestColumn::Tables) : defaultTables);
  r.FilePrefix = field(RequestColumn::Prefix);

  const TablePaths paths = TablePathsFor(r.WorkPath, r.FilePrefix);
  for (const std::string* path : {&paths.reach, &paths.flow, &paths.section})
    if (path->size() > kMaxPath)
      return RequestRefusal{b.id, "The path " + *path + " is longer than " + std::to_string(kMaxPath) + " characters"};
  return b;
}

}  // namespace rill
