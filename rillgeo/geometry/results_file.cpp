#include "rillgeo/geometry/results_file.h"

#include <cstdio>
#include <memory>

#include "navigation/navigation.h"

namespace rill::geo {

namespace {

// A field without the blanks that pad the CSV's numbers.
std::string Trimmed(const std::string& field) {
  const auto pad = [](char c) { return c == ' ' || c == '\t'; };
  std::size_t begin = 0;
  std::size_t end = field.size();
  while (begin < end && pad(field[begin])) ++begin;
  while (end > begin && pad(field[end - 1])) --end;
  return field.substr(begin, end - begin);
}

int ColumnOf(const std::vector<std::string>& columns, const char* name) {
  for (std::size_t i = 0; i < columns.size(); ++i)
    if (SameIgnoringCase(columns[i], name)) return static_cast<int>(i);
  return -1;
}

}  // namespace

StatusOr<ResultRows> ReadResults(const std::string& path, const std::string& request) {
  const OpenedFile file = OpenToRead(path);
  if (!file) return Status(Fault::InputMissing, path + " cannot be read");
  CsvRecords records(file.get());
  ResultRows results;
  if (!records.Next(results.columns)) return Status(Fault::InputMissing, path + " is empty: it holds no header");
  for (std::string& name : results.columns) name = Trimmed(name);
  results.comId = ColumnOf(results.columns, "Com_id");
  results.fromMeasure = ColumnOf(results.columns, "FromMeasure");
  results.toMeasure = ColumnOf(results.columns, "ToMeasure");
  results.code = ColumnOf(results.columns, "Rch_code");
  results.distance = ColumnOf(results.columns, "Distance");
  results.length = ColumnOf(results.columns, "RchLength");
  for (const char* name : {"Com_id", "FromMeasure", "ToMeasure"}) {
    if (ColumnOf(results.columns, name) < 0) return Status(Fault::InputMissing, path + " has no column " + name);
  }
  const int requestColumn = ColumnOf(results.columns, "Request");
  if (!request.empty() && requestColumn < 0)
    return Status(Fault::InputMissing, path + " has no Request column to pick request " + request);

  std::vector<std::string> fields;
  // Rows are counted as lines of a file whose ids hold no line break.
  for (int number = 2; records.Next(fields); ++number) {
    if (records.UnclosedQuote())
      return Status(Fault::InputMissing, path + " line " + std::to_string(number) + " opens a quote it never closes");
    if (fields.size() != results.columns.size()) {
      return Status(Fault::InputMissing, path + " line " + std::to_string(number) + " has " +
                                             std::to_string(fields.size()) + " of the " +
                                             std::to_string(results.columns.size()) + " columns");
    }
    // An id is kept as it stands; the other fields lose their padding.
    for (std::size_t i = 0; i < fields.size(); ++i)
      if (static_cast<int>(i) != requestColumn) fields[i] = Trimmed(fields[i]);
    if (!request.empty() && fields[static_cast<std::size_t>(requestColumn)] != request) continue;
    results.rows.push_back(fields);
  }
  if (records.ReadFailed()) return Status(Fault::InputMissing, path + " could not be read to its end");
  if (!request.empty() && results.rows.empty())
    return Status(Fault::InputMissing, path + " has no row of request " + request);
  return results;
}

}  // namespace rill::geo
