#include "rillgeo/map/request_status.h"

#include <algorithm>
#include <filesystem>

#include "navigation/navigation.h"

namespace rill::geo {

std::string StatusPathOf(const std::string& resultsPath) {
  std::filesystem::path path(resultsPath);
  path.replace_extension(".status.csv");
  return path.string();
}

std::vector<RequestStatus> ReadRequestStatus(const std::string& path) {
  std::vector<RequestStatus> lines;
  const OpenedFile file = OpenToRead(path);
  if (!file) return lines;
  CsvRecords records(file.get());
  std::vector<std::string> fields;
  if (!records.Next(fields)) return lines;
  int id = -1, status = -1, ccode = -1, message = -1;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const int at = static_cast<int>(i);
    if (SameIgnoringCase(fields[i], "Request")) id = at;
    if (SameIgnoringCase(fields[i], "Status")) status = at;
    if (SameIgnoringCase(fields[i], "ccode")) ccode = at;
    if (SameIgnoringCase(fields[i], "Message")) message = at;
  }
  if (id < 0 || status < 0) return lines;
  const auto field = [&](int at) -> std::string {
    return at >= 0 && at < static_cast<int>(fields.size()) ? fields[at] : "";
  };
  while (records.Next(fields)) lines.push_back({field(id), field(status), field(ccode), field(message)});
  return lines;
}

StatusOr<std::unordered_map<std::string, std::string>> ReadRequestNotes(const std::string& path) {
  std::unordered_map<std::string, std::string> notes;
  const OpenedFile file = OpenToRead(path);
  if (!file) return Status(Fault::InputMissing, path + " cannot be read", path);
  CsvRecords records(file.get());
  std::vector<std::string> fields;
  int id = -1, note = -1;
  if (records.Next(fields)) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
      if (SameIgnoringCase(fields[i], "Request")) id = static_cast<int>(i);
      if (SameIgnoringCase(fields[i], "Note")) note = static_cast<int>(i);
    }
  }
  if (id < 0) return Status(Fault::InputMissing, path + " has no Request column", path);
  if (note < 0) return notes;
  while (records.Next(fields)) {
    if (static_cast<int>(fields.size()) > std::max(id, note) && !fields[note].empty())
      notes.emplace(fields[id], fields[note]);
  }
  return notes;
}

}  // namespace rill::geo
