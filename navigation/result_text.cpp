#include "navigation/result_text.h"

#include <cmath>

#include "network/prefetch.h"
#include "text/format.h"
#include "text/number_text.h"

namespace rill {

namespace {

// The value printf's "%.Nf" shows, read back as strtod reads it. printf
// rounds the exact value of x times 10^N to a whole number n (ties to
// even) and strtod reads n / 10^N to the nearest double, which a division
// of two exact doubles gives. x times 10^N is exactly hi + lo (the product
// and its rounding error); only when hi is a half exactly can lo decide
// the side. Past 2^52 a half is not exact: printf and strtod then.
double Printed(double value, int precision) {
  if (!std::isfinite(value)) return value;
  const double scale = precision == 3 ? 1e3 : 1e4;
  const double hi = value * scale;
  if (std::fabs(hi) < 4503599627370496.0) {
    const double lo = std::fma(value, scale, -hi);
    const double below = std::floor(hi);
    double n;
    if (hi - below != 0.5)
      n = std::nearbyint(hi);
    else if (lo != 0.0)
      n = lo > 0.0 ? below + 1.0 : below;
    else
      n = std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
    // A value that rounds to nothing keeps its sign, as "-0.000" does.
    return std::copysign(n, value) / scale;
  }
  std::string digits;
  AppendFixed(digits, value, 0, precision);
  return ReadDecimal(digits.c_str());
}

}  // namespace

// The result CSV's line, "\"%s\",%10d,\"%s\",%d,%10.3f,%10.3f,%20.4f,%10.4f\n" as
// printf writes it, written field by field: the line of every row of a
// whole-network result, so the format is not read again for each.
void AppendResultLine(std::string& out, const ResultRow& row) {
  out += '"';
  out += row.code();
  out += "\",";
  AppendInt(out, row.comId, 10);
  out += ",\"";
  out += row.date();
  out += "\",";
  AppendInt(out, row.duuId());
  out += ',';
  AppendFixed(out, row.fromMeasure, 10, 3);
  out += ',';
  AppendFixed(out, row.toMeasure, 10, 3);
  out += ',';
  AppendFixed(out, row.distance, 20, 4);
  out += ',';
  AppendFixed(out, row.length, 10, 4);
  out += '\n';
}

void WriteResultLines(std::span<const ResultRow> rows, std::string_view linePrefix, TextWriter& out) {
  if (out.Discards()) return;
  // The reaches of a long result stand in walk order, all over the table:
  // their codes and dates are fetched a few lines ahead.
  constexpr std::size_t kAhead = 8;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (i + kAhead < rows.size()) PrefetchRead(rows[i + kAhead].reach);
    out.Append([&](std::string& text) {
      text += linePrefix;
      AppendResultLine(text, rows[i]);
    });
  }
}

void WriteSpecialCases(const Navigation& navigation, TextWriter& log) {
  if (navigation.pieces.empty()) return;
  log.Write("Special Cases\n");
  for (const ReachPiece& p : navigation.pieces)
    log.Print("Com_id: %d, f_meas: %10.5f, t_meas: %10.5f, meters: %f\n", p.comId, p.fromMeasure, p.toMeasure,
              p.meters);
}

std::string QuotedField(std::string_view text) {
  std::string field = "\"";
  for (char c : text) {
    if (c == '"') field += '"';
    field += c;
  }
  field += '"';
  return field;
}

std::string NotesMessage(const Navigation& navigation) {
  std::string text;
  for (const std::string& note : navigation.notes) {
    if (!text.empty()) text += "; ";
    text += note;
  }
  return text;
}

std::string StatusLine(std::string_view id, int status, std::string_view ccode, std::string_view message) {
  std::string line = QuotedField(id);
  line += ',';
  line += std::to_string(status);
  line += ',';
  if (!ccode.empty()) line += QuotedField(ccode);
  line += ',';
  if (!message.empty()) line += QuotedField(message);
  line += '\n';
  return line;
}

double PrintedMeasure(double measure) { return Printed(measure, 3); }

ResultRow PrintedRow(const ResultRow& row) {
  ResultRow printed = row;
  printed.fromMeasure = Printed(row.fromMeasure, 3);
  printed.toMeasure = Printed(row.toMeasure, 3);
  printed.distance = Printed(row.distance, 4);
  printed.length = Printed(row.length, 4);
  return printed;
}

}  // namespace rill
