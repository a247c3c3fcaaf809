#include "rillgeo/results_file.h"

#include <strings.h>

#include <fstream>
#include <sstream>

#include "rillgeo/geo_error.h"

namespace rill::geo {

namespace {

// One CSV field without its padding and quotes (codes hold no commas).
std::string Clean(std::string field) {
  const auto keep = [](char c) { return c != ' ' && c != '\t' && c != '\r' && c != '"'; };
  std::size_t begin = 0;
  std::size_t end = field.size();
  while (begin < end && !keep(field[begin])) ++begin;
  while (end > begin && !keep(field[end - 1])) --end;
  return field.substr(begin, end - begin);
}

std::vector<std::string> SplitLine(const std::string& line) {
  std::vector<std::string> fields;
  std::istringstream split(line);
  for (std::string field; std::getline(split, field, ',');) fields.push_back(Clean(field));
  if (!line.empty() && line.back() == ',') fields.emplace_back();
  return fields;
}

int ColumnOf(const std::vector<std::string>& columns, const char* name) {
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (strcasecmp(columns[i].c_str(), name) == 0) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

ResultRows ReadResults(const std::string& path, const std::string& request) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw GeoError(path + " cannot be read");
  ResultRows results;
  std::string line;
  if (!std::getline(in, line)) throw GeoError(path + " is empty: it holds no header");
  results.columns = SplitLine(line);
  results.comId = ColumnOf(results.columns, "Com_id");
  results.fromMeasure = ColumnOf(results.columns, "FromMeasure");
  results.toMeasure = ColumnOf(results.columns, "ToMeasure");
  results.code = ColumnOf(results.columns, "Rch_code");
  results.distance = ColumnOf(results.columns, "Distance");
  for (const char* name : {"Com_id", "FromMeasure", "ToMeasure"}) {
    if (ColumnOf(results.columns, name) < 0) throw GeoError(path + " has no column " + name);
  }
  const int requestColumn = ColumnOf(results.columns, "Request");
  if (!request.empty() && requestColumn < 0) throw GeoError(path + " has no Request column to pick request " + request);

  for (int number = 2; std::getline(in, line); ++number) {
    if (line.empty() || line == "\r") continue;
    std::vector<std::string> fields = SplitLine(line);
    if (fields.size() != results.columns.size()) {
      throw GeoError(path + " line " + std::to_string(number) + " has " + std::to_string(fields.size()) + " of the " +
                     std::to_string(results.columns.size()) + " columns");
    }
    if (!request.empty() && fields[requestColumn] != request) continue;
    results.rows.push_back(std::move(fields));
  }
  if (!request.empty() && results.rows.empty()) throw GeoError(path + " has no row of request " + request);
  return results;
}

}  // namespace rill::geo
