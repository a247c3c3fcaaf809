#include "text/format.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <system_error>

namespace rill {

namespace {

// printf's default precision for %f.
constexpr int kDefaultPrecision = 6;

// Longest fixed text of a finite double at small precisions: a sign, the 309
// digits of DBL_MAX, the point and the decimals. Wider requests are rare and
// take the sized path.
constexpr int kLongestInteger = std::numeric_limits<double>::max_exponent10 + 1;
constexpr int kStackPrecision = 96;
constexpr std::size_t kStackBuffer = 1 + kLongestInteger + 1 + kStackPrecision;
// A whole number below 1e15 has at most 15 digits.
constexpr int kWholePrecision = 40;
constexpr std::size_t kWholeBuffer = 1 + 15 + 1 + kWholePrecision;

// Appends text right-aligned in width characters, or left-aligned when the
// width is negative, as printf does with a '*' width.
void AppendPadded(std::string& out, const char* text, std::size_t length, int width) {
  const bool left = width < 0;
  const std::size_t field =
      left ? static_cast<std::size_t>(-static_cast<std::int64_t>(width)) : static_cast<std::size_t>(width);
  const std::size_t pad = field > length ? field - length : 0;
  if (!left && pad > 0) out.append(pad, ' ');
  out.append(text, length);
  if (left && pad > 0) out.append(pad, ' ');
}

void AppendPadded(std::string& out, std::string_view text, int width) {
  AppendPadded(out, text.data(), text.size(), width);
}

// Writes value as printf's "%.*f" would into buf (kStackBuffer characters)
// and returns its length; 0 when a precision past kStackPrecision needs a
// wider buffer. A negative precision means 6.
std::size_t FixedChars(char* buf, double value, int& precision) {
  if (precision < 0) precision = kDefaultPrecision;  // as printf treats a negative '*' precision
  if (std::isnan(value)) {
    const std::string_view text = std::signbit(value) ? "-nan" : "nan";
    std::memcpy(buf, text.data(), text.size());
    return text.size();
  }
  if (std::isinf(value)) {
    const std::string_view text = value < 0 ? "-inf" : "inf";
    std::memcpy(buf, text.data(), text.size());
    return text.size();
  }
  // Whole numbers, the most common measures and lengths, are their digits and
  // `precision` zeros: the exact expansion printf writes, without the
  // general conversion.
  if (precision <= kWholePrecision && std::fabs(value) < 1e15 && value == std::trunc(value)) {
    char* p = buf;
    if (std::signbit(value)) *p++ = '-';
    p = std::to_chars(p, buf + kWholeBuffer, static_cast<std::int64_t>(std::fabs(value))).ptr;
    if (precision > 0) {
      *p++ = '.';
      std::memset(p, '0', static_cast<std::size_t>(precision));
      p += precision;
    }
    return static_cast<std::size_t>(p - buf);
  }
  if (precision <= kStackPrecision) {
    const std::to_chars_result result =
        std::to_chars(buf, buf + kStackBuffer, value, std::chars_format::fixed, precision);
    if (result.ec == std::errc{}) return static_cast<std::size_t>(result.ptr - buf);
  }
  return 0;
}

[[noreturn]] void Mismatch(const char* what, std::string_view format) {
  std::string message(what);
  message.append(": ");
  message.append(format);
  throw std::logic_error(message);
}

int ReadNumber(std::string_view format, std::size_t& i) {
  int value = 0;
  while (i < format.size() && format[i] >= '0' && format[i] <= '9') {
    if (value > 100000) Mismatch("field width or precision too large in format", format);
    value = value * 10 + (format[i++] - '0');
  }
  return value;
}

}  // namespace

void AppendInt(std::string& out, std::int64_t value, int width) {
  char buf[24];
  const std::to_chars_result result = std::to_chars(buf, buf + sizeof buf, value);
  AppendPadded(out, buf, static_cast<std::size_t>(result.ptr - buf), width);
}

void AppendFixed(std::string& out, double value, int width, int precision) {
  char buf[kStackBuffer];
  const std::size_t length = FixedChars(buf, value, precision);
  if (length > 0) {
    AppendPadded(out, buf, length, width);
    return;
  }
  std::string wide(static_cast<std::size_t>(kLongestInteger) + 2 + static_cast<std::size_t>(precision), '\0');
  const std::to_chars_result result =
      std::to_chars(wide.data(), wide.data() + wide.size(), value, std::chars_format::fixed, precision);
  if (result.ec != std::errc{}) throw std::logic_error("fixed text does not fit its buffer");
  AppendPadded(out, wide.data(), static_cast<std::size_t>(result.ptr - wide.data()), width);
}

namespace {

// A line being written: its characters gathered on the stack and handed
// to the string in one append, not one append per piece.
class LineBuffer {
 public:
  explicit LineBuffer(std::string& out) : out_(out) {}
  ~LineBuffer() { Flush(); }
  LineBuffer(const LineBuffer&) = delete;
  LineBuffer& operator=(const LineBuffer&) = delete;

  void Flush() {
    out_.append(buf_, static_cast<std::size_t>(p_ - buf_));
    p_ = buf_;
  }
  // Appends text right-aligned in `width` (left-aligned when negative).
  void Padded(const char* text, std::size_t length, int width) {
    const std::size_t field =
        width < 0 ? static_cast<std::size_t>(-static_cast<std::int64_t>(width)) : static_cast<std::size_t>(width);
    const std::size_t pad = field > length ? field - length : 0;
    if (length + pad > static_cast<std::size_t>(end() - p_)) {
      Flush();
      if (length + pad > sizeof buf_) {
        AppendPadded(out_, text, length, width);
        return;
      }
    }
    if (width >= 0) {
      std::memset(p_, ' ', pad);
      p_ += pad;
    }
    std::memcpy(p_, text, length);
    p_ += length;
    if (width < 0) {
      std::memset(p_, ' ', pad);
      p_ += pad;
    }
  }

 private:
  const char* end() const { return buf_ + sizeof buf_; }
  std::string& out_;
  char buf_[1024];
  char* p_ = buf_;
};

}  // namespace

void AppendFormatted(std::string& out, const LineFormat& format, const FormatArg* args, std::size_t count) {
  std::size_t next = 0;
  auto take = [&](FormatArg::Kind kind) -> const FormatArg& {
    if (next >= count || args[next].kind() != kind) Mismatch("format arguments do not match", format.text());
    return args[next++];
  };
  const char* text = format.text().data();
  LineBuffer line(out);
  for (const LineFormat::Piece& piece : format) {
    line.Padded(text + piece.textBegin, piece.textLength, 0);
    switch (piece.conversion) {
      case 'd': {
        char buf[24];
        const std::to_chars_result result = std::to_chars(buf, buf + sizeof buf, take(FormatArg::Kind::Whole).whole());
        line.Padded(buf, static_cast<std::size_t>(result.ptr - buf), piece.width);
        break;
      }
      case 'f': {
        const double value = take(FormatArg::Kind::Real).real();
        char buf[kStackBuffer];
        int precision = piece.precision;
        const std::size_t length = FixedChars(buf, value, precision);
        if (length > 0) {
          line.Padded(buf, length, piece.width);
        } else {
          line.Flush();
          AppendFixed(out, value, piece.width, piece.precision);
        }
        break;
      }
      case 's': {
        const std::string_view arg = take(FormatArg::Kind::Text).text();
        line.Padded(arg.data(), arg.size(), piece.width);
        break;
      }
      default:
        break;
    }
  }
  if (next != count) Mismatch("too many format arguments", format.text());
}

void AppendFormat(std::string& out, std::string_view format, const FormatArg* args, std::size_t count) {
  std::size_t next = 0;
  auto take = [&](FormatArg::Kind kind) -> const FormatArg& {
    if (next >= count || args[next].kind() != kind) Mismatch("format arguments do not match", format);
    return args[next++];
  };
  std::size_t i = 0;
  while (i < format.size()) {
    const std::size_t percent = format.find('%', i);
    if (percent == std::string_view::npos) {
      out.append(format.substr(i));
      break;
    }
    out.append(format.substr(i, percent - i));
    i = percent + 1;
    if (i < format.size() && format[i] == '%') {
      out.push_back('%');
      ++i;
      continue;
    }
    // Flags such as '0' or '-' are not part of this subset; refusing them is
    // better than padding differently from printf.
    if (i < format.size() && format[i] == '0') Mismatch("unsupported flag in format", format);
    const int width = ReadNumber(format, i);
    int precision = -1;
    if (i < format.size() && format[i] == '.') {
      ++i;
      precision = ReadNumber(format, i);
    }
    if (i >= format.size()) Mismatch("format ends inside a conversion", format);
    const char conversion = format[i++];
    if (precision >= 0 && conversion != 'f') Mismatch("precision is only supported for %f", format);
    switch (conversion) {
      case 'd':
        AppendInt(out, take(FormatArg::Kind::Whole).whole(), width);
        break;
      case 'f':
        AppendFixed(out, take(FormatArg::Kind::Real).real(), width, precision < 0 ? kDefaultPrecision : precision);
        break;
      case 's':
        AppendPadded(out, take(FormatArg::Kind::Text).text(), width);
        break;
      default:
        Mismatch("unsupported conversion in format", format);
    }
  }
  if (next != count) Mismatch("too many format arguments", format);
}

}  // namespace rill
