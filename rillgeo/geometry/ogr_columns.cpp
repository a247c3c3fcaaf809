#include "rillgeo/geometry/ogr_columns.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "rillgeo/geometry/decimal_text.h"

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

OGRFieldType TypeOf(OGRFeature& feature, int index) { return feature.GetFieldDefnRef(index)->GetType(); }

}  // namespace

int FindColumn(const OGRFeatureDefn& fields, std::initializer_list<std::string_view> names) {
  for (std::string_view name : names) {
    for (int i = 0; i < fields.GetFieldCount(); ++i) {
      if (SameNameIgnoringCase(fields.GetFieldDefn(i)->GetNameRef(), name)) return i;
    }
  }
  // dBASE cuts names to 10 characters, and both products ship them so cut.
  for (std::string_view name : names) {
    if (name.size() <= 10) continue;
    for (int i = 0; i < fields.GetFieldCount(); ++i) {
      if (SameNameIgnoringCase(fields.GetFieldDefn(i)->GetNameRef(), name.substr(0, 10))) return i;
    }
  }
  return -1;
}

int LayerColumns::Require(std::initializer_list<std::string_view> names) {
  const int index = Find(names);
  if (index < 0 && status_.ok()) {
    status_ = Status(Fault::InputMissing,
                     "column " + std::string(*names.begin()) + " is missing from layer " + fields_.GetName());
  }
  return index;
}

std::string TextValue(OGRFeature& feature, int index) { return std::string(Trimmed(feature.GetFieldAsString(index))); }

void FieldReader::Unreadable(int index, std::string_view wanted) {
  if (!status_.ok()) return;
  const char* name = feature_.GetFieldDefnRef(index)->GetNameRef();
  const std::string message = "feature " + std::to_string(feature_.GetFID()) + ": column " + name;
  if (!feature_.IsFieldSetAndNotNull(index)) {
    status_ = Status(Fault::InputMissing, message + " is empty");
  } else {
    status_ = Status(Fault::InputMissing,
                     message + " holds '" + feature_.GetFieldAsString(index) + "', not " + std::string(wanted));
  }
}

std::int64_t FieldReader::Whole(int index) {
  if (!feature_.IsFieldSetAndNotNull(index)) {
    Unreadable(index, "a whole number");
    return 0;
  }
  const OGRFieldType type = TypeOf(feature_, index);
  if (type == OFTInteger || type == OFTInteger64) return feature_.GetFieldAsInteger64(index);
  double real = 0.0;
  if (type == OFTReal) {
    real = feature_.GetFieldAsDouble(index);
  } else {
    const std::string_view text = Trimmed(feature_.GetFieldAsString(index));
    std::int64_t whole = 0;
    const auto parsed = std::from_chars(text.data(), text.data() + text.size(), whole);
    if (parsed.ec == std::errc() && parsed.ptr == text.data() + text.size() && !text.empty()) return whole;
    const auto asReal = std::from_chars(text.data(), text.data() + text.size(), real);
    if (asReal.ec != std::errc() || asReal.ptr != text.data() + text.size() || text.empty()) {
      Unreadable(index, "a whole number");
      return 0;
    }
  }
  if (!(std::fabs(real) < 9.0e15) || real != std::trunc(real)) {
    Unreadable(index, "a whole number");
    return 0;
  }
  return static_cast<std::int64_t>(real);
}

double FieldReader::Real(int index) {
  if (!feature_.IsFieldSetAndNotNull(index)) {
    Unreadable(index, "a number");
    return 0.0;
  }
  const OGRFieldType type = TypeOf(feature_, index);
  double value = 0.0;
  if (type == OFTReal || type == OFTInteger || type == OFTInteger64) {
    value = feature_.GetFieldAsDouble(index);
  } else {
    const std::string_view text = Trimmed(feature_.GetFieldAsString(index));
    const auto parsed = std::from_chars(text.data(), text.data() + text.size(), value);
    if (parsed.ec != std::errc() || parsed.ptr != text.data() + text.size() || text.empty()) {
      Unreadable(index, "a number");
      return 0.0;
    }
  }
  if (!std::isfinite(value)) {
    Unreadable(index, "a number");
    return 0.0;
  }
  return value;
}

std::string FieldReader::Decimal(int index) {
  const OGRFieldType type = TypeOf(feature_, index);
  const bool wasOk = ok();
  std::string text;
  if (type == OFTReal) {
    text = ShortestText(Real(index));
  } else if (type == OFTInteger || type == OFTInteger64) {
    text = std::to_string(Whole(index));
  } else {
    text = TextValue(feature_, index);
  }
  if (wasOk && !ok()) return std::string();  // the number itself could not be read
  if (!feature_.IsFieldSetAndNotNull(index) || !ReadPicoUnits(text)) {
    Unreadable(index, "a length in plain decimals");
    return std::string();
  }
  return text;
}

std::string FieldReader::Date(int index) {
  if (!feature_.IsFieldSetAndNotNull(index)) {
    Unreadable(index, "a date");
    return std::string();
  }
  const OGRFieldType type = TypeOf(feature_, index);
  std::string date;
  if (type == OFTDate || type == OFTDateTime) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, zone = 0;
    float second = 0;
    feature_.GetFieldAsDateTime(index, &year, &month, &day, &hour, &minute, &second, &zone);
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d", year, month, day);
    date = text;
  } else {
    for (char c : TextValue(feature_, index).substr(0, 10)) {
      if (c != '-' && c != '/') date.push_back(c);
    }
  }
  bool digits = date.size() == 8;
  for (char c : date) digits = digits && c >= '0' && c <= '9';
  if (!digits) {
    Unreadable(index, "a date");
    return std::string();
  }
  return date;
}

}  // namespace rill::geo
