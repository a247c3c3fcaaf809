#include "rillgeo/serve/query_values.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace rill::geo {

namespace {

// The text as strtod reads it, when it reads all of it (blanks around allowed).
std::optional<double> WholeNumber(std::string_view text) {
  const std::string copy(text);
  if (copy.empty()) return std::nullopt;
  char* end = nullptr;
  const double value = std::strtod(copy.c_str(), &end);
  if (end == copy.c_str()) return std::nullopt;
  while (*end == ' ') ++end;
  if (*end != '\0') return std::nullopt;
  return value;
}

Status Bad(std::string message) { return Status(Fault::Unusable, std::move(message)); }

std::string Shown(std::string_view text) {
  // Long or odd values are cut in the message, so that an answer stays short.
  std::string shown;
  for (const char c : text.substr(0, 40)) shown.push_back(c >= ' ' && c < 127 && c != '"' ? c : '?');
  if (text.size() > 40) shown += "...";
  return shown;
}

}  // namespace

StatusOr<std::optional<double>> ReadDistanceKm(std::string_view text) {
  if (text.empty()) return std::optional<double>();
  const std::optional<double> value = WholeNumber(text);
  if (!value || !std::isfinite(*value) || !(*value > 0.0)) {
    return Bad("distance \"" + Shown(text) + "\" is not a finite number of km above 0");
  }
  return std::optional<double>(*value);
}

StatusOr<LonLat> ReadPoint(std::string_view text) {
  const auto wrong = [&] { return Bad("coords \"" + Shown(text) + "\" is not POINT(longitude latitude)"); };
  std::size_t at = 0;
  while (at < text.size() && text[at] == ' ') ++at;
  static constexpr std::string_view kWord = "POINT";
  if (text.size() - at < kWord.size()) return wrong();
  for (std::size_t i = 0; i < kWord.size(); ++i) {
    const char c = text[at + i];
    if ((c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c) != kWord[i]) return wrong();
  }
  at += kWord.size();
  while (at < text.size() && text[at] == ' ') ++at;
  if (at >= text.size() || text[at] != '(') return wrong();
  const std::size_t close = text.find(')', at);
  if (close == std::string_view::npos) return wrong();
  for (std::size_t i = close + 1; i < text.size(); ++i) {
    if (text[i] != ' ') return wrong();
  }
  std::string_view inside = text.substr(at + 1, close - at - 1);
  while (!inside.empty() && inside.front() == ' ') inside.remove_prefix(1);
  const std::size_t blank = inside.find(' ');
  if (blank == std::string_view::npos) return wrong();
  const std::optional<double> lon = WholeNumber(inside.substr(0, blank));
  std::string_view rest = inside.substr(blank);
  while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  const std::optional<double> lat = WholeNumber(rest);
  if (!lon || !lat) return wrong();
  if (!std::isfinite(*lon) || !std::isfinite(*lat) || *lon < -180.0 || *lon > 180.0 || *lat < -90.0 || *lat > 90.0) {
    return Bad("coords \"" + Shown(text) + "\" lie outside longitude -180..180 and latitude -90..90");
  }
  return LonLat{*lon, *lat};
}

StatusOr<bool> ReadFlag(std::string_view name, std::string_view text, bool fallback) {
  if (text.empty()) return fallback;
  std::string lower;
  for (const char c : text) lower.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
  if (lower == "true") return true;
  if (lower == "false") return false;
  return Bad(std::string(name) + " \"" + Shown(text) + "\" is neither true nor false");
}

StatusOr<double> ReadNumberWithin(std::string_view name, std::string_view text, double low, double high,
                                  double fallback) {
  if (text.empty()) return fallback;
  const std::optional<double> value = WholeNumber(text);
  if (!value || !std::isfinite(*value) || *value < low || *value > high) {
    char range[96];
    std::snprintf(range, sizeof range, " is not a number from %g to %g", low, high);
    return Bad(std::string(name) + " \"" + Shown(text) + "\"" + range);
  }
  return *value;
}

std::optional<std::int64_t> ReadComid(std::string_view text) {
  if (text.empty() || text.size() > 18) return std::nullopt;
  std::int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace rill::geo
