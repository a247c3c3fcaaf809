#include "text/csv_records.h"

namespace rill {

int CsvRecords::Get() {
  if (pos_ == size_) {
    size_ = std::fread(buffer_, 1, sizeof buffer_, file_);
    pos_ = 0;
    if (size_ == 0) return EOF;
  }
  return static_cast<unsigned char>(buffer_[pos_++]);
}

bool CsvRecords::Next(std::vector<std::string>& fields) {
  for (;;) {
    fields.assign(1, std::string());
    unclosedQuote_ = false;
    bool quoted = false;   // inside a quoted field
    bool anyByte = false;  // the line holds something before its end
    bool atFieldStart = true;
    int c = Get();
    if (c == EOF) return false;
    for (; c != EOF; c = Get()) {
      if (quoted) {
        if (c == '"') {
          const int next = Get();
          if (next == '"') {
            fields.back().push_back('"');
            continue;
          }
          quoted = false;
          if (next == EOF) break;
          c = next;
        } else {
          fields.back().push_back(static_cast<char>(c));
          continue;
        }
      }
      if (c == '\n') break;
      if (c == '\r') {
        const int next = Get();
        if (next == '\n') break;
        if (next != EOF) Unget();
      }
      anyByte = true;
      if (c == ',') {
        fields.emplace_back();
        atFieldStart = true;
        continue;
      }
      // A quote opens a quoted field only at its start; elsewhere it is text.
      if (c == '"' && atFieldStart) {
        quoted = true;
        atFieldStart = false;
        continue;
      }
      atFieldStart = false;
      fields.back().push_back(static_cast<char>(c));
    }
    unclosedQuote_ = quoted;
    if (anyByte || quoted) return true;
    if (c == EOF) return false;
  }
}

}  // namespace rill
