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
