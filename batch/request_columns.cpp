#include "batch/request_columns.h"

#include <algorithm>
#include <cctype>

#include "text/nearest_name.h"

namespace rill {

namespace {

constexpr std::array<const char*, static_cast<std::size_t>(RequestColumn::Count)> kNames = {
    "Request",         "NavType",   "StartReach", "StartMeasure",  "EndReach",
    "EndMeasure",      "Direction", "Distance",   "DistanceUnits", "WholeReachStartMode",
    "EndAtCUBoundary", "Tables",    "Prefix",     "StartComid",    "EndComid"};

constexpr std::array<RequestColumn, 3> kRequired = {RequestColumn::Request, RequestColumn::NavType,
                                                    RequestColumn::Direction};

// A name in lower case without blanks and underscores: "Start_reach" and
// "start reach" are both "startreach".
std::string Folded(std::string_view name) {
  std::string folded;
  for (char c : name)
    if (c != ' ' && c != '_' && c != '\t')
      folded.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
  return folded;
}

// The known column a name nearly is, when it is one: the same but for
// blanks and underscores, or one or two letters apart.
const char* NearMiss(const std::string& name) {
  const std::string folded = Folded(name);
  const char* best = nullptr;
  std::size_t bestDistance = 3;
  for (const char* known : kNames) {
    const std::size_t d = EditDistance(folded, Folded(known));
    if (d < bestDistance) {
      best = known;
      bestDistance = d;
    }
  }
  return best;
}

// A Com_id field: a whole number, blanks around it allowed; empty for none.
bool ReadComid(const std::string& text, std::optional<std::int32_t>& comId) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return true;
  const std::size_t last = text.find_last_not_of(" \t");
  std::size_t i = first;
  if (text[i] == '-' || text[i] == '+') ++i;
  if (i > last) return false;
  for (std::size_t k = i; k <= last; ++k)
    if (!std::isdigit(static_cast<unsigned char>(text[k]))) return false;
  comId = ReadWhole(text.c_str());
  return true;
}

}  // namespace

StatusOr<RequestColumns> RequestColumns::FromHeader(const std::vector<std::string>& header) {
  RequestColumns columns;
  columns.width_ = header.size();
  for (std::size_t i = 0; i < header.size(); ++i) {
    std::string name = header[i];
    // A byte-order mark some spreadsheets put before the first name.
    if (i == 0 && name.rfind("\xEF\xBB\xBF", 0) == 0) name.erase(0, 3);
    std::size_t k = 0;
    while (k < kNames.size() && !SameIgnoringCase(name, kNames[k])) ++k;
    if (k == kNames.size()) {
      if (const char* near = NearMiss(name))
        return Status(Fault::Unusable, "unknown column \"" + name + "\": did you mean " + std::string(near) + "?");
      if (SameIgnoringCase(name, "Note") && !columns.note_) columns.note_ = i;
      columns.ignored_.push_back(name);
      continue;
    }
    if (columns.at_[k])
      return Status(Fault::Unusable, "The requests table has the column " + std::string(kNames[k]) + " twice");
    columns.at_[k] = i;
  }
  for (RequestColumn required : kRequired)
    if (!columns.Has(required))
      return Status(Fault::Unusable,
                    "The requests table has no column " + std::string(kNames[static_cast<std::size_t>(required)]));
  if (!columns.Has(RequestColumn::StartReach) && !columns.Has(RequestColumn::StartComid))
    return Status(Fault::Unusable, "The requests table has no column StartReach (nor StartComid)");
  return columns;
}

std::string TableFolder(std::string folder) {
  if (folder.empty() || folder.back() == '/') return folder;
#ifdef _WIN32
  if (folder.back() == '\\' || folder.back() == ':') return folder;
#endif
  folder.push_back('/');
  return folder;
}

const std::string& RequestColumns::Field(const std::vector<std::string>& record, RequestColumn column) const {
  static const std::string kEmpty;
  const auto& at = at_[static_cast<std::size_t>(column)];
  return at && *at < record.size() ? record[*at] : kEmpty;
}

const std::string& RequestColumns::Note(const std::vector<std::string>& record) const {
  static const std::string kEmpty;
  return note_ && *note_ < record.size() ? record[*note_] : kEmpty;
}

std::variant<BatchRequest, RequestRefusal> ReadRequest(const RequestColumns& columns,
                                                       const std::vector<std::string>& record,
                                                       const std::string& defaultTables,
                                                       const std::string& defaultPrefix) {
  auto field = [&](RequestColumn c) -> const std::string& { return columns.Field(record, c); };
  auto name = [](RequestColumn c) { return std::string(kNames[static_cast<std::size_t>(c)]); };
  BatchRequest b;
  b.id = field(RequestColumn::Request);
  if (record.size() != columns.width())
    return RequestRefusal{b.id, "The line has " + std::to_string(record.size()) + " fields; the header has " +
                                    std::to_string(columns.width())};
  NavigationRequest& r = b.navigation;
  for (auto [column, comId] :
       {std::pair{RequestColumn::StartComid, &r.startComid}, std::pair{RequestColumn::EndComid, &r.endComid}})
    if (!ReadComid(field(column), *comId))
      return RequestRefusal{b.id, "The field " + name(column) + " \"" + field(column) + "\" is not a Com_id"};
  // A start named by its Com_id needs no code.
  for (RequestColumn required :
       {RequestColumn::Request, RequestColumn::NavType, RequestColumn::StartReach, RequestColumn::Direction})
    if (field(required).empty() && !(required == RequestColumn::StartReach && r.startComid)) {
      if (required == RequestColumn::StartReach && !columns.Note(record).empty())
        return RequestRefusal{b.id, columns.Note(record)};
      if (required == RequestColumn::StartReach && columns.Has(RequestColumn::StartComid))
        return RequestRefusal{b.id, "The fields StartReach and StartComid are both empty"};
      return RequestRefusal{b.id, "The field " + name(required) + " is empty"};
    }
  const std::optional<DistanceUnit> units = ReadNamedUnits(field(RequestColumn::DistanceUnits));
  if (!units) return RequestRefusal{b.id, UnknownUnitsMessage(field(RequestColumn::DistanceUnits))};

  r.kind = ReadNavKind(field(RequestColumn::NavType));
  r.startReach = field(RequestColumn::StartReach);
  r.startMeasure = ReadMeasure(field(RequestColumn::StartMeasure));
  r.endReach = field(RequestColumn::EndReach);
  r.endMeasure = ReadMeasure(field(RequestColumn::EndMeasure));
  r.directionText = field(RequestColumn::Direction);
  r.direction = ReadDirection(r.directionText);
  r.distance = ReadMeasure(field(RequestColumn::Distance));
  r.units = *units;
  r.startMode = StartReachModeOf(ReadSwitch(field(RequestColumn::WholeReachStartMode)));
  r.boundary = UnitBoundaryOf(ReadSwitch(field(RequestColumn::EndAtCUBoundary)));
  b.workPath = TableFolder(columns.Has(RequestColumn::Tables) ? field(RequestColumn::Tables) : defaultTables);
  b.filePrefix = columns.Has(RequestColumn::Prefix) ? field(RequestColumn::Prefix) : defaultPrefix;

  const TablePaths paths = TablePathsFor(b.workPath, b.filePrefix);
  for (const std::string* path : {&paths.reach, &paths.flow, &paths.section})
    if (path->size() > kMaxPathLength)
      return RequestRefusal{b.id,
                            "The path " + *path + " is longer than " + std::to_string(kMaxPathLength) + " characters"};
  return b;
}

}  // namespace rill
