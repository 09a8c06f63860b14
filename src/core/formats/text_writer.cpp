#include "formats/text_writer.hpp"

#include <charconv>
#include <cmath>

namespace tessarim {
namespace {

constexpr std::uint64_t powersOfTen[] = {1, 10, 100, 1000, 10000, 100000, 1000000};

// Writes |value| with the given precision; false when the fast exact path does not apply.
// A float scaled by at most 10^6 is exact in a double (24 + 20 significant bits), so rounding
// that product to an integer, ties to even, is exactly printf's rounding.
bool fixedDigits(double magnitude, int precision, char* buffer, std::size_t& length) {
  if (precision > 6 || !(magnitude < 2147483648.0)) return false;
  if (static_cast<double>(static_cast<float>(magnitude)) != magnitude) return false;
  double scaled = std::nearbyint(magnitude * static_cast<double>(powersOfTen[precision]));
  auto n = static_cast<std::uint64_t>(scaled);
  std::uint64_t whole = n / powersOfTen[precision];
  std::uint64_t fraction = n % powersOfTen[precision];
  char* p = std::to_chars(buffer, buffer + 24, whole).ptr;
  if (precision > 0) {
    *p++ = '.';
    for (int i = precision - 1; i >= 0; --i) {
      p[i] = static_cast<char>('0' + fraction % 10);
      fraction /= 10;
    }
    p += precision;
  }
  length = static_cast<std::size_t>(p - buffer);
  return true;
}

struct Conversion {
  bool left = false, plus = false, space = false, zero = false, alternate = false;
  int width = 0;
  int precision = -1;
  int lengthBits = 0;  // 16 for h, 8 for hh
  char conversion = 0;
};

}  // namespace

TextWriter& TextWriter::text(std::string_view s) {
  if (!crlf_) {
    out_.append(s);
    return *this;
  }
  // A stretch at a time between line feeds, each of which becomes CR LF.
  while (!s.empty()) {
    const std::size_t lineFeed = s.find('\n');
    if (lineFeed == std::string_view::npos) {
      out_.append(s);
      break;
    }
    out_.append(s.substr(0, lineFeed)).append("\r\n");
    s.remove_prefix(lineFeed + 1);
  }
  return *this;
}

TextWriter& TextWriter::hex(std::uint64_t value, int width, bool upper) {
  char buffer[32];
  auto end = std::to_chars(buffer, buffer + sizeof buffer, value, 16).ptr;
  auto length = static_cast<int>(end - buffer);
  for (int i = length; i < width; ++i) out_ += '0';
  if (upper) {
    for (char* c = buffer; c != end; ++c) {
      if (*c >= 'a') *c = static_cast<char>(*c - 32);
    }
  }
  out_.append(buffer, end);
  return *this;
}

TextWriter& TextWriter::integer(std::int64_t value) {
  char buffer[24];
  out_.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
  return *this;
}

TextWriter& TextWriter::fixed(double value, int precision, bool plus) {
  char buffer[400];
  std::size_t length = 0;
  bool negative = std::signbit(value);
  if (std::isfinite(value) && fixedDigits(std::fabs(value), precision, buffer, length)) {
    if (negative)
      out_ += '-';
    else if (plus)
      out_ += '+';
    out_.append(buffer, length);
    return *this;
  }
  auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, precision);
  if (plus && !negative) out_ += '+';
  out_.append(buffer, result.ptr);
  return *this;
}

TextWriter& TextWriter::printArgs(std::string_view format, const PrintArg* args,
                                  std::size_t count) {
  std::size_t next = 0;
  const char* f = format.data();
  const char* end = f + format.size();
  while (f != end) {
    if (*f != '%') {
      putChar(*f++);
      continue;
    }
    ++f;
    if (f != end && *f == '%') {
      out_ += '%';
      ++f;
      continue;
    }
    Conversion conv;
    for (; f != end; ++f) {
      if (*f == '-')
        conv.left = true;
      else if (*f == '+')
        conv.plus = true;
      else if (*f == ' ')
        conv.space = true;
      else if (*f == '0')
        conv.zero = true;
      else if (*f == '#')
        conv.alternate = true;
      else
        break;
    }
    while (f != end && *f >= '0' && *f <= '9') conv.width = conv.width * 10 + (*f++ - '0');
    if (f != end && *f == '.') {
      ++f;
      conv.precision = 0;
      while (f != end && *f >= '0' && *f <= '9')
        conv.precision = conv.precision * 10 + (*f++ - '0');
    }
    while (f != end && (*f == 'h' || *f == 'l' || *f == 'L' || *f == 'z' || *f == 'j')) {
      if (*f == 'h') conv.lengthBits = conv.lengthBits == 16 ? 8 : 16;
      ++f;
    }
    if (f == end) break;
    conv.conversion = *f++;
    const PrintArg& arg = next < count ? args[next] : args[count];
    ++next;

    std::string body;  // digits and sign, before padding
    std::string sign;
    bool numeric = true;
    switch (conv.conversion) {
      case 'd':
      case 'i': {
        std::int64_t v =
            arg.kind == PrintArg::Kind::floating ? static_cast<std::int64_t>(arg.d) : arg.i;
        if (arg.kind == PrintArg::Kind::unsignedInt || arg.kind == PrintArg::Kind::signedInt) {
          // A C int argument: 32 bits unless cut further by h or hh.
          v = static_cast<std::int32_t>(arg.u);
        }
        if (conv.lengthBits == 16) v = static_cast<std::int16_t>(v);
        if (conv.lengthBits == 8) v = static_cast<std::int8_t>(v);
        if (v < 0)
          sign = "-";
        else if (conv.plus)
          sign = "+";
        else if (conv.space)
          sign = " ";
        std::uint64_t magnitude =
            v < 0 ? ~static_cast<std::uint64_t>(v) + 1 : static_cast<std::uint64_t>(v);
        body = std::to_string(magnitude);
        if (conv.precision >= 0) {
          if (static_cast<int>(body.size()) < conv.precision)
            body.insert(0, conv.precision - body.size(), '0');
          if (conv.precision == 0 && magnitude == 0) body.clear();
        }
        break;
      }
      case 'u':
      case 'x':
      case 'X': {
        std::uint64_t v = static_cast<std::uint32_t>(arg.u);
        if (conv.lengthBits == 16) v = static_cast<std::uint16_t>(v);
        if (conv.lengthBits == 8) v = static_cast<std::uint8_t>(v);
        char buffer[24];
        auto e =
            std::to_chars(buffer, buffer + sizeof buffer, v, conv.conversion == 'u' ? 10 : 16).ptr;
        body.assign(buffer, e);
        if (conv.conversion == 'X') {
          for (char& c : body) {
            if (c >= 'a') c = static_cast<char>(c - 32);
          }
        }
        if (conv.precision >= 0 && static_cast<int>(body.size()) < conv.precision) {
          body.insert(0, conv.precision - body.size(), '0');
        }
        if (conv.alternate && v != 0 && conv.conversion != 'u')
          sign = conv.conversion == 'X' ? "0X" : "0x";
        break;
      }
      case 'f':
      case 'F':
      case 'e':
      case 'E':
      case 'g':
      case 'G': {
        double v = arg.kind == PrintArg::Kind::floating    ? arg.d
                   : arg.kind == PrintArg::Kind::signedInt ? static_cast<double>(arg.i)
                                                           : static_cast<double>(arg.u);
        int precision = conv.precision < 0 ? 6 : conv.precision;
        if (std::signbit(v))
          sign = "-";
        else if (conv.plus)
          sign = "+";
        else if (conv.space)
          sign = " ";
        char c = static_cast<char>(conv.conversion | 32);
        if (c == 'f') {
          TextWriter digits;
          digits.fixed(std::fabs(v), precision);
          body = digits.take();
        } else {
          char buffer[400];
          auto r =
              std::to_chars(buffer, buffer + sizeof buffer, std::fabs(v),
                            c == 'e' ? std::chars_format::scientific : std::chars_format::general,
                            c == 'g' && precision == 0 ? 1 : precision);
          body.assign(buffer, r.ptr);
        }
        if (!std::isfinite(v)) conv.zero = false;
        if (conv.conversion >= 'A' && conv.conversion <= 'Z') {
          for (char& ch : body) {
            if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 32);
          }
        }
        break;
      }
      case 's':
      case 'S':
        numeric = false;
        body = std::string{arg.s};
        if (conv.precision >= 0 && static_cast<int>(body.size()) > conv.precision)
          body.resize(conv.precision);
        break;
      case 'c':
        numeric = false;
        body.assign(1, static_cast<char>(arg.i));
        break;
      default:
        numeric = false;
        break;
    }

    int padding = conv.width - static_cast<int>(sign.size() + body.size());
    if (padding > 0 && conv.left) {
      text(sign).text(body);
      out_.append(static_cast<std::size_t>(padding), ' ');
    } else if (padding > 0 && conv.zero && numeric &&
               !(conv.precision >= 0 && conv.conversion != 'f' && conv.conversion != 'F' &&
                 conv.conversion != 'e' && conv.conversion != 'E' && conv.conversion != 'g' &&
                 conv.conversion != 'G')) {
      text(sign);
      out_.append(static_cast<std::size_t>(padding), '0');
      text(body);
    } else {
      if (padding > 0) out_.append(static_cast<std::size_t>(padding), ' ');
      text(sign).text(body);
    }
  }
  return *this;
}

}  // namespace tessarim
