// rillgeo: the navigator's companion for GIS data. `import` turns NHDPlus
// flowlines into the three tables; `map` draws a navigation's results on
// the flowlines' lines; `index` snaps sites to flowlines as batch requests.
// It links GDAL and GEOS, so rillmark does not have to.
//
// The program is in rooms: geometry/ (lines, ground projection and cutting,
// the spatial index, vector sources, the tables and results as read, the
// GDAL/OGR column and output helpers) under one folder per command
// (import/, index/, map/), which do not see one another; the files here put
// the commands on the command line (command_table.h) and end the program.
// Nothing in the rooms throws or prints: every fallible call returns a
// Status, which main turns into the exit status below.
#pragma once

#include "text/status.h"

namespace rill::geo {

// Exit statuses of rillgeo.
enum ExitStatus : int {
  kDone = 0,            // the command did its work
  kFailed = 1,          // a source could not be read or an output written
  kWrongOptions = 2,    // the command line cannot be used; nothing was read or written
  kNothingSnapped = 4,  // index: not one site snapped (OUT written with every site's note)
};

// The exit status of a command's outcome: kWrongOptions for options, or a
// source, that cannot be used as asked (Fault::Unusable), kNothingSnapped
// for an index where not one site snapped (Fault::NothingNavigated), kFailed
// for any other fault.
inline ExitStatus ExitStatusOf(const Status& status) {
  if (status.ok()) return kDone;
  if (status.fault() == Fault::NothingNavigated) return kNothingSnapped;
  return status.fault() == Fault::Unusable ? kWrongOptions : kFailed;
}

}  // namespace rill::geo
