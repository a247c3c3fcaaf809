#include "rillgeo/serve/page/view_request.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <vector>

namespace rill::geo {
namespace {

constexpr int kMaxZoom = 22;

Status Unusable(const std::string& message) { return Status(Fault::Unusable, message); }

// The whole of `text` as a finite number; nothing when it holds anything
// else (blanks, a second number, inf, nan, a value out of range).
std::optional<double> FiniteNumber(const std::string& text) {
  if (text.empty() || text.size() > 64 || std::isspace(static_cast<unsigned char>(text.front()))) return std::nullopt;
  char* end = nullptr;
  errno = 0;
  const double value = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || errno == ERANGE || !std::isfinite(value)) return std::nullopt;
  return value;
}

// The one value of parameter `name`, or nothing when it is absent.
StatusOr<std::optional<std::string>> OneValue(const std::multimap<std::string, std::string>& params,
                                              const std::string& name) {
  const auto [first, last] = params.equal_range(name);
  if (first == last) return std::optional<std::string>();
  if (std::next(first) != last) return Unusable("the parameter " + name + " is given more than once");
  return std::optional<std::string>(first->second);
}

// A whole number from `low` to `high`, or a fault naming the parameter.
StatusOr<int> WholeInRange(const std::string& name, const std::string& text, int low, int high) {
  const std::optional<double> value = FiniteNumber(text);
  if (!value || *value != std::floor(*value) || *value < low || *value > high) {
    return Unusable(name + " must be a whole number from " + std::to_string(low) + " to " + std::to_string(high));
  }
  return static_cast<int>(*value);
}

StatusOr<LonLatBox> ReadBox(const std::string& text) {
  const Status bad = Unusable("bbox must be four numbers west,south,east,north in degrees");
  std::vector<double> figures;
  std::size_t from = 0;
  while (figures.size() < 5) {
    const std::size_t comma = text.find(',', from);
    const std::optional<double> value =
        FiniteNumber(text.substr(from, comma == std::string::npos ? std::string::npos : comma - from));
    if (!value) return bad;
    figures.push_back(*value);
    if (comma == std::string::npos) break;
    from = comma + 1;
  }
  if (figures.size() != 4) return bad;
  const LonLatBox box{figures[0], figures[1], figures[2], figures[3]};
  if (box.west < -180.0 || box.east > 180.0 || box.south < -90.0 || box.north > 90.0) {
    return Unusable("bbox must lie within longitudes -180 to 180 and latitudes -90 to 90");
  }
  if (box.west > box.east || box.south > box.north) {
    return Unusable("bbox must give its west before its east and its south before its north");
  }
  return box;
}

}  // namespace

double ViewRequest::PixelSpan() const { return 360.0 / (256.0 * std::ldexp(1.0, zoom)); }

StatusOr<ViewRequest> ReadViewRequest(const std::multimap<std::string, std::string>& params) {
  ViewRequest request;
  const auto bbox = OneValue(params, "bbox");
  if (!bbox.ok()) return bbox.status();
  if (!bbox->has_value()) return Unusable("bbox is missing: give west,south,east,north in degrees");
  const StatusOr<LonLatBox> box = ReadBox(**bbox);
  if (!box.ok()) return box.status();
  request.box = *box;

  const auto zoom = OneValue(params, "zoom");
  if (!zoom.ok()) return zoom.status();
  if (!zoom->has_value()) return Unusable("zoom is missing: give the map's zoom level, 0 to 22");
  const StatusOr<int> level = WholeInRange("zoom", **zoom, 0, kMaxZoom);
  if (!level.ok()) return level.status();
  request.zoom = *level;

  const auto limit = OneValue(params, "limit");
  if (!limit.ok()) return limit.status();
  if (limit->has_value()) {
    const StatusOr<int> count = WholeInRange("limit", **limit, 1, static_cast<int>(kMaxViewLines));
    if (!count.ok()) return count.status();
    request.limit = static_cast<std::size_t>(*count);
  }
  return request;
}

}  // namespace rill::geo
