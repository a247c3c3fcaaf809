// The table an index writes: one CSV line per point or per candidate, the
// snap, then the kept columns and the request columns a batch reads.
#pragma once

#include <string>
#include <vector>

#include "rillgeo/index/site_source.h"

namespace rill::geo {

// The fields of one line; empty where there is no snap.
struct SnapFields {
  std::string rank;
  std::string startReach;
  std::string startComid;
  std::string startMeasure;
  std::string sourceId;
  std::string reachCode;
  std::string reachMeasure;
  std::string offset;
  std::string snapLon;
  std::string snapLat;
  std::string note;
};

// The same on every line: NavType and Direction, and Distance and
// DistanceUnits where a distance is given; nothing when navType is empty.
struct RequestFields {
  std::string navType;
  std::string direction;
  std::string distance;
  std::string units;
};

class IndexTable {
 public:
  // Writes the header. An OptionError when a kept column has the name of a
  // column the table writes itself (a batch would read it twice).
  IndexTable(bool ranked, const std::vector<std::string>& keptColumns, RequestFields request);

  void Add(const Site& site, const SnapFields& fields);

  // The whole CSV: LF line ends, fields quoted where RFC 4180 needs it.
  const std::string& text() const { return text_; }

 private:
  void Field(const std::string& value);
  void Line(const std::vector<std::string>& fields);

  bool ranked_;
  RequestFields request_;
  std::string text_;
};

}  // namespace rill::geo
