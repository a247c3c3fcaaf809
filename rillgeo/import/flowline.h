// One NHDPlus flowline: the attributes the tables are built from.
#pragma once

#include <cstdint>
#include <string>

namespace rill::geo {

struct Flowline {
  std::int64_t comId = 0;  // COMID, or NHDPlusID in high-resolution data
  std::string date;        // YYYYMMDD
  std::string lengthKm;    // decimal text of LENGTHKM, so sums stay exact
  std::string reachCode;
  bool coastline = false;  // FTYPE Coastline or FCODE 56600: joined by Dir 714 rows
  std::int64_t streamLevel = 0;
  std::int64_t fromNode = 0;
  std::int64_t toNode = 0;
  std::int64_t hydroseq = 0;
  std::int64_t levelPath = 0;
  bool headwater = false;  // StartFlag 1
  double fromMeas = 0.0;   // measures along the reach code, 0 at its downstream end
  double toMeas = 0.0;
};

}  // namespace rill::geo
