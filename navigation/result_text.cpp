#include "navigation/result_text.h"

#include <cmath>

#include "text/format.h"
#include "text/number_text.h"

namespace rill {

namespace {

// The value printf's "%.Nf" shows, read back as strtod reads it.
double Printed(double value, int precision) {
  if (!std::isfinite(value)) return value;
  std::string digits;
  AppendFixed(digits, value, 0, precision);
  return ReadDecimal(digits.c_str());
}

}  // namespace

void AppendResultLine(std::string& out, const ResultRow& row) {
  AppendPrintf(out, "\"%s\",%10d,\"%s\",%d,%10.3f,%10.3f,%20.4f,%10.4f\n", row.code(), row.comId, row.date(),
               row.duuId(), row.fromMeasure, row.toMeasure, row.distance, row.length);
}

void WriteResultLines(const Navigation& navigation, std::string_view linePrefix, TextWriter& out) {
  if (out.Discards()) return;
  for (const ResultRow& row : navigation.rows) {
    out.Write(linePrefix);
    out.Print("\"%s\",%10d,\"%s\",%d,%10.3f,%10.3f,%20.4f,%10.4f\n", row.code(), row.comId, row.date(), row.duuId(),
              row.fromMeasure, row.toMeasure, row.distance, row.length);
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

ResultRow PrintedRow(const ResultRow& row) {
  ResultRow printed = row;
  printed.fromMeasure = Printed(row.fromMeasure, 3);
  printed.toMeasure = Printed(row.toMeasure, 3);
  printed.distance = Printed(row.distance, 4);
  printed.length = Printed(row.length, 4);
  return printed;
}

}  // namespace rill
