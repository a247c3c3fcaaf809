#include "rillgeo/index/index_table.h"

#include <strings.h>

#include "rillgeo/geometry/geo_error.h"

namespace rill::geo {

IndexTable::IndexTable(bool ranked, const std::vector<std::string>& keptColumns, RequestFields request)
    : ranked_(ranked), request_(std::move(request)) {
  std::vector<std::string> snap{"Request"};
  if (ranked_) snap.push_back("Rank");
  snap.insert(snap.end(), {"StartReach", "StartComid", "StartMeasure", "SourceId", "ReachCode", "ReachMeasure",
                           "Offset", "SnapLon", "SnapLat", "Note"});
  std::vector<std::string> requestColumns;
  if (!request_.navType.empty()) requestColumns.insert(requestColumns.end(), {"NavType", "Direction"});
  if (!request_.distance.empty()) requestColumns.insert(requestColumns.end(), {"Distance", "DistanceUnits"});
  for (const std::string& kept : keptColumns) {
    for (const auto* names : {&snap, &requestColumns}) {
      for (const std::string& name : *names) {
        if (strcasecmp(kept.c_str(), name.c_str()) == 0) {
          throw OptionError("--keep-columns " + kept + ": the output has a column " + name + " of its own");
        }
      }
    }
  }
  std::vector<std::string> header = snap;
  header.insert(header.end(), keptColumns.begin(), keptColumns.end());
  header.insert(header.end(), requestColumns.begin(), requestColumns.end());
  Line(header);
}

void IndexTable::Add(const Site& site, const SnapFields& f) {
  std::vector<std::string> fields{site.id};
  if (ranked_) fields.push_back(f.rank);
  fields.insert(fields.end(), {f.startReach, f.startComid, f.startMeasure, f.sourceId, f.reachCode, f.reachMeasure,
                               f.offset, f.snapLon, f.snapLat, f.note});
  fields.insert(fields.end(), site.kept.begin(), site.kept.end());
  if (!request_.navType.empty()) fields.insert(fields.end(), {request_.navType, request_.direction});
  if (!request_.distance.empty()) fields.insert(fields.end(), {request_.distance, request_.units});
  Line(fields);
}

void IndexTable::Field(const std::string& value) {
  if (value.find_first_of(",\"\r\n") == std::string::npos) {
    text_ += value;
    return;
  }
  text_ += '"';
  for (char c : value) {
    if (c == '"') text_ += '"';
    text_ += c;
  }
  text_ += '"';
}

void IndexTable::Line(const std::vector<std::string>& fields) {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) text_ += ',';
    Field(fields[i]);
  }
  text_ += '\n';
}

}  // namespace rill::geo
