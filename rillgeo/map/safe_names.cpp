#include "rillgeo/map/safe_names.h"

#include <cctype>
#include <unordered_set>

namespace rill::geo {

namespace {

constexpr std::size_t kLongestStem = 80;

std::string StemOf(const std::string& id) {
  std::string stem;
  for (char c : id.substr(0, kLongestStem)) {
    const bool kept = std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '-' || c == '_' || c == '.';
    stem += kept ? c : '_';
  }
  if (stem.empty() || stem[0] == '.') stem.insert(0, "r");
  return stem;
}

std::string Folded(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

std::vector<std::string> SafeFileStems(const std::vector<std::string>& ids) {
  std::unordered_set<std::string> taken{"index"};
  std::vector<std::string> stems;
  stems.reserve(ids.size());
  for (const std::string& id : ids) {
    const std::string base = StemOf(id);
    std::string stem = base;
    for (int n = 2; !taken.insert(Folded(stem)).second; ++n) stem = base + "-" + std::to_string(n);
    stems.push_back(std::move(stem));
  }
  return stems;
}

}  // namespace rill::geo
