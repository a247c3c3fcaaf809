#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rill {

// Appends value as printf's "%*lld" would (right-aligned in width characters,
// left-aligned for a negative width).
void AppendInt(std::string& out, std::int64_t value, int width = 0);

// Appends value as printf's "%*.*f" would: exact decimal expansion, rounded
// to nearest with ties to even, "inf"/"nan" with their sign, right-aligned
// (left-aligned for a negative width; a negative precision means 6).
void AppendFixed(std::string& out, double value, int width, int precision);

// One argument of AppendFormat: a whole number, a double or a string.
class FormatArg {
 public:
  enum class Kind { Whole, Real, Text };
  FormatArg(int v) : kind_(Kind::Whole), whole_(v) {}
  FormatArg(std::int16_t v) : kind_(Kind::Whole), whole_(v) {}
  FormatArg(std::int64_t v) : kind_(Kind::Whole), whole_(v) {}
  FormatArg(double v) : kind_(Kind::Real), real_(v) {}
  FormatArg(const char* v) : kind_(Kind::Text), text_(v) {}
  FormatArg(std::string_view v) : kind_(Kind::Text), text_(v) {}
  FormatArg(const std::string& v) : kind_(Kind::Text), text_(v) {}

  Kind kind() const { return kind_; }
  std::int64_t whole() const { return whole_; }
  double real() const { return real_; }
  std::string_view text() const { return text_; }

 private:
  Kind kind_;
  std::int64_t whole_ = 0;
  double real_ = 0.0;
  std::string_view text_;
};

// A printf subset for the log and result lines: %d, %Nd, %s, %Ns, %f, %N.Pf
// and %%, byte for byte as glibc printf writes them. A %d given a double, %f
// given a whole number, a flag ('0', '-', ...) or a precision outside %f is a
// programming error and throws std::logic_error, so a mismatched trace line
// cannot go unnoticed.
void AppendFormat(std::string& out, std::string_view format, const FormatArg* args, std::size_t count);

// A format of that subset read once, when the program is compiled: the
// trace's lines, written for every reach a walk passes, do not read their
// format again each time. A format outside the subset does not compile.
class LineFormat {
 public:
  struct Piece {
    std::uint16_t textBegin = 0;  // the text before the conversion
    std::uint16_t textLength = 0;
    char conversion = 0;  // 'd', 'f', 's', or 0: text only
    std::int32_t width = 0;
    std::int32_t precision = -1;
  };
  static constexpr std::size_t kMaxPieces = 16;

  consteval explicit LineFormat(std::string_view format) : format_(format) {
    std::size_t i = 0;
    std::size_t text = 0;
    while (i < format.size()) {
      if (format[i] != '%') {
        ++i;
        continue;
      }
      if (i + 1 < format.size() && format[i + 1] == '%') {
        // "%%": the text so far with one '%', then on after both.
        Add(Piece{Offset(text), Offset(i + 1 - text), 0, 0, -1});
        i += 2;
        text = i;
        continue;
      }
      Piece piece{Offset(text), Offset(i - text), 0, 0, -1};
      ++i;
      piece.width = Number(format, i);
      if (i < format.size() && format[i] == '.') {
        ++i;
        piece.precision = Number(format, i);
      }
      if (i >= format.size()) Refuse();
      piece.conversion = format[i++];
      if (piece.conversion != 'd' && piece.conversion != 'f' && piece.conversion != 's') Refuse();
      if (piece.precision >= 0 && piece.conversion != 'f') Refuse();
      if (piece.conversion == 'f' && piece.precision < 0) piece.precision = 6;
      Add(piece);
      text = i;
    }
    if (text < format.size()) Add(Piece{Offset(text), Offset(format.size() - text), 0, 0, -1});
  }

  std::string_view text() const { return format_; }
  const Piece* begin() const { return pieces_; }
  const Piece* end() const { return pieces_ + count_; }

 private:
  // Not constexpr: reaching it while compiling a format stops the build.
  static void Refuse() { throw "format outside AppendFormat's subset"; }
  static constexpr std::uint16_t Offset(std::size_t n) {
    if (n > 0xffff) Refuse();
    return static_cast<std::uint16_t>(n);
  }
  static constexpr std::int32_t Number(std::string_view format, std::size_t& i) {
    if (i < format.size() && format[i] == '0') Refuse();  // flags are not part of the subset
    std::int32_t value = 0;
    while (i < format.size() && format[i] >= '0' && format[i] <= '9') {
      if (value > 100000) Refuse();
      value = value * 10 + (format[i++] - '0');
    }
    return value;
  }
  constexpr void Add(const Piece& piece) {
    if (count_ == kMaxPieces) Refuse();
    pieces_[count_++] = piece;
  }

  std::string_view format_;
  Piece pieces_[kMaxPieces] = {};
  std::size_t count_ = 0;
};

// AppendFormat of a format read when compiled: the same bytes, the same
// refusal of arguments that do not match.
void AppendFormatted(std::string& out, const LineFormat& format, const FormatArg* args, std::size_t count);

template <typename... Args>
void AppendLine(std::string& out, const LineFormat& format, const Args&... args) {
  if constexpr (sizeof...(Args) == 0) {
    AppendFormatted(out, format, nullptr, 0);
  } else {
    const FormatArg list[] = {FormatArg(args)...};
    AppendFormatted(out, format, list, sizeof...(Args));
  }
}

template <typename... Args>
void AppendPrintf(std::string& out, std::string_view format, const Args&... args) {
  if constexpr (sizeof...(Args) == 0) {
    AppendFormat(out, format, nullptr, 0);
  } else {
    const FormatArg list[] = {FormatArg(args)...};
    AppendFormat(out, format, list, sizeof...(Args));
  }
}

}  // namespace rill
