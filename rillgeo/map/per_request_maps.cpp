#include "rillgeo/map/per_request_maps.h"

#include <strings.h>

#include <cstdlib>
#include <filesystem>
#include <unordered_map>
#include <utility>

#include "rillgeo/geometry/vector_output.h"
#include "rillgeo/geometry/whole_file.h"
#include "rillgeo/map/html_map.h"
#include "rillgeo/map/safe_names.h"

namespace rill::geo {

namespace {

// The length navigated: the sum of the rows' lengths within their reaches.
double LengthNavigated(const ResultRows& results) {
  int column = -1;
  for (std::size_t i = 0; i < results.columns.size(); ++i) {
    if (strcasecmp(results.columns[i].c_str(), "RchLength") == 0) column = static_cast<int>(i);
  }
  double total = 0.0;
  for (const auto& row : results.rows) total += column < 0 ? 0.0 : std::strtod(row[column].c_str(), nullptr);
  return total;
}

// A request's status as the index shows it: the status, and a ccode other than 0000.
std::string StatusText(const RequestStatus& s) {
  return s.ccode.empty() || s.ccode == "0000" ? s.status : s.status + ", ccode " + s.ccode;
}

std::string IndexPage(const std::vector<RequestPieces>& requests, const std::vector<std::string>& stems,
                      const PerRequestOutput& output) {
  const std::string unit = output.unit.empty() ? std::string() : " (" + HtmlEscaped(output.unit) + ")";
  const bool withStatus = !output.status.empty();
  std::unordered_map<std::string, const RequestStatus*> statusOf;
  for (const RequestStatus& s : output.status) statusOf.emplace(s.id, &s);
  std::string page = "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>Requests of " +
                     HtmlEscaped(output.source) +
                     "</title>\n<style>body{font:14px sans-serif;margin:1em}td,th{padding:2px 10px;text-align:left}"
                     "td.n{text-align:right}</style></head><body>\n<h1>Requests of " +
                     HtmlEscaped(output.source) +
                     "</h1>\n<table>\n<tr><th>Request</th><th>Rows</th><th>Length navigated" + unit + "</th>" +
                     (output.geojson ? "<th>GeoJSON</th>" : "") +
                     (withStatus ? "<th>Status</th><th>Message</th>" : "") + "</tr>\n";
  std::unordered_map<std::string, bool> drawn;
  for (std::size_t i = 0; i < requests.size(); ++i) {
    drawn[requests[i].id] = true;
    page += "<tr><td><a href=\"" + stems[i] + ".html\">" + HtmlEscaped(requests[i].id) + "</a></td><td class=\"n\">" +
            std::to_string(requests[i].results.rows.size()) + "</td><td class=\"n\">" +
            GroupedNumber(LengthNavigated(requests[i].results), 1) + "</td>";
    if (output.geojson) page += "<td><a href=\"" + stems[i] + ".geojson\">" + stems[i] + ".geojson</a></td>";
    if (withStatus) {
      const auto found = statusOf.find(requests[i].id);
      if (found != statusOf.end())
        page += "<td>" + HtmlEscaped(StatusText(*found->second)) + "</td><td>" + HtmlEscaped(found->second->message) +
                "</td>";
      else
        page += "<td></td><td></td>";
    }
    page += "</tr>\n";
  }
  page += "</table>\n";
  std::string undrawn;
  for (const RequestStatus& s : output.status) {
    if (drawn.count(s.id) != 0) continue;
    const auto note = output.notes.find(s.id);
    undrawn +=
        "<tr><td>" + HtmlEscaped(s.id) + "</td><td>" + HtmlEscaped(StatusText(s)) + "</td><td>" +
        HtmlEscaped(s.message) + "</td>" +
        (output.notes.empty() ? "" : "<td>" + (note == output.notes.end() ? "" : HtmlEscaped(note->second)) + "</td>") +
        "</tr>\n";
  }
  if (!undrawn.empty())
    page += "<h2>Requests without a row</h2>\n<table>\n<tr><th>Request</th><th>Status</th><th>Message</th>" +
            std::string(output.notes.empty() ? "" : "<th>Note</th>") + "</tr>\n" + undrawn + "</table>\n";
  page += "</body></html>\n";
  return page;
}

}  // namespace

StatusOr<std::vector<RequestPieces>> CutPerRequest(const ResultRows& results, const NetworkTables& tables,
                                                   const IdMap& ids, const FlowlineLines& lines, GroundCutter& cutter) {
  const int column = RequestColumn(results);
  if (column < 0) {
    return Status(Fault::InputMissing, "--per-request needs a batch RESULTS file, with a Request column");
  }
  ResultRows header = results;  // the columns without a row, copied once for every request
  header.rows.clear();
  std::vector<RequestPieces> requests;
  std::unordered_map<std::string, std::size_t> byId;
  for (const auto& row : results.rows) {
    const auto [at, added] = byId.emplace(row[column], requests.size());
    if (added) requests.push_back({row[column], header, {}, {}});
    requests[at->second].results.rows.push_back(row);
  }
  for (RequestPieces& request : requests) {
    StatusOr<NavigationPieces> pieces = CutNavigation(request.results, tables, ids, lines, cutter);
    if (!pieces.ok()) return pieces.status();
    request.pieces = std::move(*pieces);
  }
  return requests;
}

Status WritePerRequestMaps(const std::vector<RequestPieces>& requests, const FlowlineLines& network,
                           const PerRequestOutput& output) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::create_directories(output.folder, error);
  if (error) {
    return Status(Fault::OutputFailed, "the folder " + output.folder + " cannot be created: " + error.message());
  }
  std::vector<std::string> ids;
  for (const RequestPieces& request : requests) ids.push_back(request.id);
  const std::vector<std::string> stems = SafeFileStems(ids);
  for (std::size_t i = 0; i < requests.size(); ++i) {
    const RequestPieces& request = requests[i];
    const fs::path stem = fs::path(output.folder) / stems[i];
    const std::string title = "Navigation " + output.source + " request " + request.id;
    Status written = ReplaceFile(stem.string() + ".html", HtmlMapPage(title, request.results, request.pieces, network,
                                                                      output.unit, request.sites));
    if (written.ok() && output.geojson) {
      written = WriteVectorFile(stem.string() + ".geojson", VectorFormat::GeoJson, request.results, request.pieces);
    }
    if (!written.ok()) return written;
  }
  return ReplaceFile((fs::path(output.folder) / "index.html").string(), IndexPage(requests, stems, output));
}

}  // namespace rill::geo
