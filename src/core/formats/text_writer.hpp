#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

namespace tessarim {

struct PrintArg {
  enum class Kind : std::uint8_t { signedInt, unsignedInt, floating, text } kind;
  std::int64_t i = 0;
  std::uint64_t u = 0;
  double d = 0;
  std::string_view s;

  template <class T>
  PrintArg(const T& v) : kind(Kind::text) {  // NOLINT(google-explicit-constructor)
    if constexpr (std::is_floating_point_v<T>) {
      kind = Kind::floating;
      d = static_cast<double>(v);
    } else if constexpr (std::is_integral_v<T> && std::is_signed_v<T>) {
      kind = Kind::signedInt;
      i = v;
      u = static_cast<std::uint64_t>(v);
    } else if constexpr (std::is_integral_v<T>) {
      kind = Kind::unsignedInt;
      u = v;
      i = static_cast<std::int64_t>(v);
    } else {
      s = std::string_view{v};
    }
  }
};

// Formatted printing with the output of the C library's printf in the "C" locale, whatever the
// process locale: flags - + space 0, width, precision, the length modifiers h and hh (which cut
// an integer to 16 or 8 bits; l and ll are ignored) and the conversions d i u x X f F e E g G s S
// c %. With line-end conversion on, every line feed is written as CR LF.
class TextWriter {
 public:
  explicit TextWriter(bool crlf = false) : crlf_(crlf) {}

  template <class... A>
  TextWriter& print(std::string_view format, const A&... args) {
    const PrintArg list[] = {PrintArg{args}..., PrintArg{0}};
    return printArgs(format, list, sizeof...(A));
  }
  TextWriter& printArgs(std::string_view format, const PrintArg* args, std::size_t count);

  TextWriter& text(std::string_view s);
  // Hexadecimal digits, zero-padded to width.
  TextWriter& hex(std::uint64_t value, int width = 0, bool upper = false);
  // printf's "%.<precision>f", with "%+" when plus is set.
  TextWriter& fixed(double value, int precision, bool plus = false);
  TextWriter& integer(std::int64_t value);

  void reserve(std::size_t n) { out_.reserve(n); }
  const std::string& str() const { return out_; }
  std::string take() { return std::move(out_); }

 private:
  void putChar(char c) {
    if (c == '\n' && crlf_) out_ += '\r';
    out_ += c;
  }

  std::string out_;
  bool crlf_;
};

// A message text formatted like sprintf.
template <class... A>
std::string formatText(std::string_view format, const A&... args) {
  TextWriter w;
  w.print(format, args...);
  return w.take();
}

}  // namespace tessarim
