// Coordinates of sites that cannot be what their coordinate system says:
// found before anything is snapped, with the mistake that likely made them.
#pragma once

#include <ogr_spatialref.h>

#include <cstddef>
#include <string>

#include "text/status.h"

namespace rill::geo {

// Watches the raw coordinates of sites given in `srs` (x first, as GIS
// order has it). In a geographic system a longitude beyond ±180 or a
// latitude beyond ±90 cannot be; the first such site makes the status.
class LonLatCheck {
 public:
  explicit LonLatCheck(const OGRSpatialReference& srs) : geographic_(srs.IsGeographic() != 0) {}

  void operator()(const std::string& site, double x, double y);

  // Ok, or why the sites cannot be used (a Fault::Unusable naming the first
  // site out of range and what to give instead).
  const Status& status() const { return status_; }

 private:
  bool geographic_;
  Status status_;
};

// The message that stops an index whose sites none snap while `exchanged`
// of them would with x and y exchanged.
Status ExchangedAxes(std::size_t exchanged, std::size_t sites);

}  // namespace rill::geo
