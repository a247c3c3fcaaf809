#include "rillgeo/geometry/ogr_columns.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "rillgeo/geometry/decimal_text.h"
#include "rillgeo/geometry/geo_error.h"

namespace rill::geo {

namespace {

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

[[noreturn]] void Unreadable(OGRFeature& feature, int index, std::string_view wanted) {
  const char* name = feature.GetFieldDefnRef(index)->GetNameRef();
  std::string message = "feature " + std::to_string(feature.GetFID()) + ": column " + name;
  if (!feature.IsFieldSetAndNotNull(index)) throw GeoError(message + " is empty");
  throw GeoError(message + " holds '" + feature.GetFieldAsString(index) + "', not " + std::string(wanted));
}

OGRFieldType TypeOf(OGRFeature& feature, int index) { return feature.GetFieldDefnRef(index)->GetType(); }

}  // namespace

int FindColumn(const OGRFeatureDefn& fields, std::initializer_list<std::string_view> names) {
  for (std::string_view name : names) {
    for (int i = 0; i < fields.GetFieldCount(); ++i) {
      if (SameNameIgnoringCase(fields.GetFieldDefn(i)->GetNameRef(), name)) return i;
    }
  }
  return -1;
}

int RequireColumn(const OGRFeatureDefn& fields, std::initializer_list<std::string_view> names) {
  const int index = FindColumn(fields, names);
  if (index < 0) {
    throw GeoError("column " + std::string(*names.begin()) + " is missing from layer " + fields.GetName());
  }
  return index;
}

std::int64_t WholeValue(OGRFeature& feature, int index) {
  if (!feature.IsFieldSetAndNotNull(index)) Unreadable(feature, index, "a whole number");
  const OGRFieldType type = TypeOf(feature, index);
  if (type == OFTInteger || type == OFTInteger64) return feature.GetFieldAsInteger64(index);
  double real = 0.0;
  if (type == OFTReal) {
    real = feature.GetFieldAsDouble(index);
  } else {
    const std::string_view text = Trimmed(feature.GetFieldAsString(index));
    std::int64_t whole = 0;
    const auto parsed = std::from_chars(text.data(), text.data() + text.size(), whole);
    if (parsed.ec == std::errc() && parsed.ptr == text.data() + text.size() && !text.empty()) return whole;
    const auto asReal = std::from_chars(text.data(), text.data() + text.size(), real);
    if (asReal.ec != std::errc() || asReal.ptr != text.data() + text.size() || text.empty()) {
      Unreadable(feature, index, "a whole number");
    }
  }
  if (!(std::fabs(real) < 9.0e15) || real != std::trunc(real)) Unreadable(feature, index, "a whole number");
  return static_cast<std::int64_t>(real);
}

double RealValue(OGRFeature& feature, int index) {
  if (!feature.IsFieldSetAndNotNull(index)) Unreadable(feature, index, "a number");
  const OGRFieldType type = TypeOf(feature, index);
  double value = 0.0;
  if (type == OFTReal || type == OFTInteger || type == OFTInteger64) {
    value = feature.GetFieldAsDouble(index);
  } else {
    const std::string_view text = Trimmed(feature.GetFieldAsString(index));
    const auto parsed = std::from_chars(text.data(), text.data() + text.size(), value);
    if (parsed.ec != std::errc() || parsed.ptr != text.data() + text.size() || text.empty()) {
      Unreadable(feature, index, "a number");
    }
  }
  if (!std::isfinite(value)) Unreadable(feature, index, "a number");
  return value;
}

std::string TextValue(OGRFeature& feature, int index) { return std::string(Trimmed(feature.GetFieldAsString(index))); }

std::string DecimalValue(OGRFeature& feature, int index) {
  const OGRFieldType type = TypeOf(feature, index);
  std::string text;
  if (type == OFTReal) {
    text = ShortestText(RealValue(feature, index));
  } else if (type == OFTInteger || type == OFTInteger64) {
    text = std::to_string(WholeValue(feature, index));
  } else {
    text = TextValue(feature, index);
  }
  if (!feature.IsFieldSetAndNotNull(index) || !ReadPicoUnits(text)) {
    Unreadable(feature, index, "a length in plain decimals");
  }
  return text;
}

std::string DateValue(OGRFeature& feature, int index) {
  if (!feature.IsFieldSetAndNotNull(index)) Unreadable(feature, index, "a date");
  const OGRFieldType type = TypeOf(feature, index);
  std::string date;
  if (type == OFTDate || type == OFTDateTime) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, zone = 0;
    float second = 0;
    feature.GetFieldAsDateTime(index, &year, &month, &day, &hour, &minute, &second, &zone);
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d", year, month, day);
    date = text;
  } else {
    for (char c : TextValue(feature, index).substr(0, 10)) {
      if (c != '-' && c != '/') date.push_back(c);
    }
  }
  bool digits = date.size() == 8;
  for (char c : date) digits = digits && c >= '0' && c <= '9';
  if (!digits) Unreadable(feature, index, "a date");
  return date;
}

}  // namespace rill::geo
