#include "rillgeo/index/site_checks.h"

#include <cmath>

#include "rillgeo/geometry/decimal_text.h"

namespace rill::geo {

namespace {

constexpr const char* kExchanged =
    "latitude and longitude look exchanged (in a CSV, name the longitude column with --x and the latitude column "
    "with --y)";

}  // namespace

void LonLatCheck::operator()(const std::string& site, double x, double y) {
  if (!geographic_ || !status_.ok() || (std::fabs(x) <= 180.0 && std::fabs(y) <= 90.0)) return;
  std::string message = "site " + site + " lies at x " + ShortestText(x) + ", y " + ShortestText(y) +
                        ", which cannot be a longitude and a latitude: ";
  if (std::fabs(y) <= 180.0 && std::fabs(x) <= 90.0) {
    message += kExchanged;
  } else {
    message += "they look like projected coordinates; give their coordinate system with --srs (as EPSG:n)";
  }
  status_ = Status(Fault::Unusable, message);
}

Status ExchangedAxes(std::size_t exchanged, std::size_t sites) {
  return Status(Fault::Unusable, "no site snaps to a flowline, but " + std::to_string(exchanged) + " of " +
                                     std::to_string(sites) + " would with x and y exchanged: " + kExchanged);
}

}  // namespace rill::geo
