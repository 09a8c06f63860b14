#include "formats/text_scanner.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace tessarim {
namespace {

inline bool isSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}
inline bool isDigit(char c) {
  return c >= '0' && c <= '9';
}
inline int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
inline bool startsWithIgnoringCase(const char* p, const char* end, std::string_view word) {
  if (static_cast<std::size_t>(end - p) < word.size()) return false;
  for (char w : word) {
    char c = *p++;
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    if (c != w) return false;
  }
  return true;
}

constexpr float floatPowers[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
constexpr double doublePowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The place of a number's leading significant digit once its exponent is applied (0 for the
// units, 1 for the tens, -1 for the tenths), in the exponent's base: decimal places for decimal
// numbers, bits for hexadecimal ones. [first, last) holds digits with at most one point, then
// optionally the exponent letter, a sign and digits; a huge exponent saturates.
long long leadingPlace(const char* first, const char* last, char exponentLetter, int bitsPerDigit) {
  const char* p = first;
  long long integerDigits = 0, fractionDigits = 0, leadingIndex = 0;
  bool found = false, leadingInFraction = false, point = false;
  for (; p != last && (*p | 32) != exponentLetter; ++p) {
    if (*p == '.') {
      point = true;
      continue;
    }
    const long long index = point ? ++fractionDigits : ++integerDigits;
    if (!found && *p != '0') {
      found = true;
      leadingIndex = index;
      leadingInFraction = point;
    }
  }
  const long long place = leadingInFraction ? -leadingIndex : integerDigits - leadingIndex;
  long long exponent = 0;
  if (p != last) {
    ++p;
    const bool negative = p != last && *p == '-';
    if (p != last && (*p == '+' || *p == '-')) ++p;
    for (; p != last; ++p) exponent = std::min(exponent * 10 + (*p - '0'), 1'000'000'000LL);
    if (negative) exponent = -exponent;
  }
  return place * bitsPerDigit + exponent;
}

// from_chars leaves the value alone when it is out of range; scanf gives infinity for a number
// too large and zero for one too small, whatever the digits or the sign of the exponent say.
template <class F>
F outOfRange(const char* first, const char* last, char exponentLetter, int bitsPerDigit) {
  return leadingPlace(first, last, exponentLetter, bitsPerDigit) >= 0
             ? std::numeric_limits<F>::infinity()
             : F(0);
}

template <class F>
const char* parseFloatImpl(const char* first, const char* last, F& out) {
  const char* p = first;
  bool negative = false;
  if (p != last && (*p == '+' || *p == '-')) negative = (*p++ == '-');
  const char* body = p;
  if (p == last) return first;

  if (!isDigit(*p) && *p != '.') {
    // inf, infinity, nan, nan(chars)
    F value;
    if (startsWithIgnoringCase(p, last, "infinity")) {
      p += 8;
      value = std::numeric_limits<F>::infinity();
    } else if (startsWithIgnoringCase(p, last, "inf")) {
      p += 3;
      value = std::numeric_limits<F>::infinity();
    } else if (startsWithIgnoringCase(p, last, "nan")) {
      p += 3;
      if (p != last && *p == '(') {
        const char* q = p + 1;
        while (q != last && (isDigit(*q) || ((*q | 32) >= 'a' && (*q | 32) <= 'z') || *q == '_'))
          ++q;
        if (q != last && *q == ')') p = q + 1;
      }
      value = std::numeric_limits<F>::quiet_NaN();
    } else {
      return first;
    }
    out = negative ? -value : value;
    return p;
  }

  if (*p == '0' && p + 1 != last && (p[1] | 32) == 'x') {
    const char* q = p + 2;
    const char* digits = q;
    while (q != last && hexValue(*q) >= 0) ++q;
    bool any = q != digits;
    if (q != last && *q == '.') {
      ++q;
      const char* frac = q;
      while (q != last && hexValue(*q) >= 0) ++q;
      any = any || q != frac;
    }
    if (!any) {  // "0x" with no digits: the number is the 0
      out = negative ? -F(0) : F(0);
      return p + 1;
    }
    if (q != last && (*q | 32) == 'p') {
      const char* e = q + 1;
      if (e != last && (*e == '+' || *e == '-')) ++e;
      if (e != last && isDigit(*e)) {
        while (e != last && isDigit(*e)) ++e;
        q = e;
      }
    }
    F value{};
    if (std::from_chars(p + 2, q, value, std::chars_format::hex).ec ==
        std::errc::result_out_of_range) {
      value = outOfRange<F>(p + 2, q, 'p', 4);
    }
    out = negative ? -value : value;
    return q;
  }

  // Decimal: digits [. digits] [e [sign] digits]
  const char* intStart = p;
  while (p != last && isDigit(*p)) ++p;
  const char* intEnd = p;
  const char* fracStart = p;
  const char* fracEnd = p;
  if (p != last && *p == '.') {
    fracStart = ++p;
    while (p != last && isDigit(*p)) ++p;
    fracEnd = p;
  }
  if (intEnd == intStart && fracEnd == fracStart) return first;  // no digit at all
  bool hasExponent = false;
  if (p != last && (*p | 32) == 'e') {
    const char* e = p + 1;
    if (e != last && (*e == '+' || *e == '-')) ++e;
    if (e != last && isDigit(*e)) {
      while (e != last && isDigit(*e)) ++e;
      p = e;
      hasExponent = true;
    }
  }

  // Exact fast path: a mantissa and a power of ten that are both exact in F give the correctly
  // rounded result in one division.
  if (!hasExponent) {
    while (intStart != intEnd && *intStart == '0') ++intStart;
    while (fracEnd != fracStart && fracEnd[-1] == '0') --fracEnd;
    const auto intDigits = static_cast<std::size_t>(intEnd - intStart);
    const auto fracDigits = static_cast<std::size_t>(fracEnd - fracStart);
    if (intDigits + fracDigits <= 19) {
      std::uint64_t mantissa = 0;
      for (const char* d = intStart; d != intEnd; ++d)
        mantissa = mantissa * 10 + static_cast<unsigned>(*d - '0');
      for (const char* d = fracStart; d != fracEnd; ++d)
        mantissa = mantissa * 10 + static_cast<unsigned>(*d - '0');
      if constexpr (std::is_same_v<F, float>) {
        if (mantissa <= (1u << 24) && fracDigits <= 10) {
          float v = static_cast<float>(mantissa) / floatPowers[fracDigits];
          out = negative ? -v : v;
          return p;
        }
      } else {
        if (mantissa <= (1ull << 53) && fracDigits <= 22) {
          double v = static_cast<double>(mantissa) / doublePowers[fracDigits];
          out = negative ? -v : v;
          return p;
        }
      }
    }
  }
  F value{};
  if (std::from_chars(body, p, value, std::chars_format::general).ec ==
      std::errc::result_out_of_range) {
    value = outOfRange<F>(body, p, 'e', 1);
  }
  out = negative ? -value : value;
  return p;
}

// Sign, an optional 0x before hexadecimal digits, digits; the value wraps like an unsigned
// accumulator and is negated in two's complement. False when there is no digit.
bool parseInteger(const char*& p, const char* limit, unsigned base, std::uint64_t& out) {
  const char* q = p;
  bool negative = false;
  if (q != limit && (*q == '+' || *q == '-')) negative = (*q++ == '-');
  if (base == 16 && limit - q >= 3 && q[0] == '0' && (q[1] | 32) == 'x' && hexValue(q[2]) >= 0)
    q += 2;
  const char* digits = q;
  std::uint64_t value = 0;
  if (base == 10) {
    while (q != limit && isDigit(*q)) value = value * 10 + static_cast<unsigned>(*q++ - '0');
  } else {
    for (int d; q != limit && (d = hexValue(*q)) >= 0 && static_cast<unsigned>(d) < base; ++q) {
      value = value * base + static_cast<unsigned>(d);
    }
  }
  if (q == digits) return false;
  out = negative ? ~value + 1 : value;
  p = q;
  return true;
}

template <class T>
void store(void* destination, T value) {
  *static_cast<T*>(destination) = value;
}

void storeInteger(const ScanTarget& t, std::uint64_t bits) {
  switch (t.type) {
    case ScanType::i8:
      store(t.destination, static_cast<std::int8_t>(bits));
      break;
    case ScanType::u8:
      store(t.destination, static_cast<std::uint8_t>(bits));
      break;
    case ScanType::i16:
      store(t.destination, static_cast<std::int16_t>(bits));
      break;
    case ScanType::u16:
      store(t.destination, static_cast<std::uint16_t>(bits));
      break;
    case ScanType::i32:
      store(t.destination, static_cast<std::int32_t>(bits));
      break;
    case ScanType::u32:
      store(t.destination, static_cast<std::uint32_t>(bits));
      break;
    case ScanType::i64:
      store(t.destination, static_cast<std::int64_t>(bits));
      break;
    case ScanType::u64:
      store(t.destination, bits);
      break;
    case ScanType::f32:
      store(t.destination, static_cast<float>(static_cast<std::int64_t>(bits)));
      break;
    case ScanType::f64:
      store(t.destination, static_cast<double>(static_cast<std::int64_t>(bits)));
      break;
    case ScanType::text:
      break;
  }
}

}  // namespace

const char* parseFloat(const char* first, const char* last, float& out) {
  return parseFloatImpl(first, last, out);
}
const char* parseFloat(const char* first, const char* last, double& out) {
  return parseFloatImpl(first, last, out);
}

TextScanner::TextScanner(FileWindow& window) : window_(&window) {
  const std::string_view view = window.start();
  cur_ = view.data();
  end_ = view.data() + view.size();
}

void TextScanner::refill() {
  if (window_->exhausted()) return;
  const std::string_view view = window_->advance({cur_, static_cast<std::size_t>(end_ - cur_)});
  cur_ = view.data();
  end_ = view.data() + view.size();
}

std::uint64_t TextScanner::remaining() const {
  return static_cast<std::uint64_t>(end_ - cur_) + (window_ ? window_->unreadInFile() : 0);
}

void TextScanner::stoppedAt(const char* p) {
  while (p != end_ && !isSpace(*p) && *p != ',') ++p;
  runOutAt(p);
}

int TextScanner::comma() {
  skipWhitespace();
  if (cur_ == end_ || *cur_ != ',') {
    stoppedAt(cur_);
    return 1;
  }
  ++cur_;
  return 2;
}

int TextScanner::floatComma(float& value) {
  skipWhitespace();
  runOutAt(cur_);
  if (cur_ == end_) return -1;
  const char* p = parseFloat(cur_, end_, value);
  if (p == cur_) {
    stoppedAt(cur_);
    return 0;
  }
  cur_ = p;
  return comma();
}

int TextScanner::integerCommaBits(std::uint64_t& bits, unsigned base) {
  skipWhitespace();
  runOutAt(cur_);
  if (cur_ == end_) return -1;
  if (!parseInteger(cur_, end_, base, bits)) {
    stoppedAt(cur_);
    return 0;
  }
  return comma();
}

void TextScanner::skipWhitespace() {
  for (;;) {
    while (cur_ != end_ && isSpace(*cur_)) ++cur_;
    if (!window_ || static_cast<std::size_t>(end_ - cur_) >= refillMargin || window_->exhausted())
      return;
    refill();
  }
}

int TextScanner::scanTargets(std::string_view format, std::span<const ScanTarget> targets) {
  int stored = 0;
  bool converted = false;  // some conversion has matched (for the end-of-input result)
  std::size_t next = 0;
  const char* f = format.data();
  const char* fend = f + format.size();
  auto inputEnded = [&] { return converted ? stored : -1; };

  while (f != fend) {
    refillIfLow();
    char fc = *f;
    if (isSpace(fc)) {
      skipWhitespace();
      ++f;
      continue;
    }
    if (fc != '%' || (f + 1 != fend && f[1] == '%')) {
      if (fc == '%') ++f;
      runOutAt(cur_);
      if (cur_ == end_) return inputEnded();
      if (*cur_ != *f) {
        stoppedAt(cur_);
        return stored;
      }
      ++cur_;
      ++f;
      continue;
    }
    // One conversion: %[*][width][length modifiers]letter.
    ++f;
    bool suppress = false;
    if (f != fend && *f == '*') {
      suppress = true;
      ++f;
    }
    std::size_t width = 0;
    while (f != fend && isDigit(*f)) width = width * 10 + static_cast<std::size_t>(*f++ - '0');
    while (f != fend && (*f == 'h' || *f == 'l' || *f == 'L' || *f == 'z' || *f == 'j')) ++f;
    if (f == fend) return stored;
    char conversion = *f++;

    if (conversion != '[') skipWhitespace();
    runOutAt(cur_);
    if (cur_ == end_) return inputEnded();
    const char* limit =
        (width != 0 && width < static_cast<std::size_t>(end_ - cur_)) ? cur_ + width : end_;
    const ScanTarget* target = nullptr;
    // A conversion that matched input up to p: consumed, and counted when it was stored.
    auto matched = [&](const char* p) {
      runOutAt(p);  // the field may go on past a cut
      cur_ = p;
      converted = true;
      if (target) {
        ++next;
        ++stored;
      }
    };
    if (!suppress) {
      if (next >= targets.size()) return stored;  // more conversions than destinations
      target = &targets[next];
    }

    switch (conversion) {
      case 'd':
      case 'i':
      case 'u':
      case 'x':
      case 'X': {
        const char* p = cur_;
        std::uint64_t value = 0;
        if (!parseInteger(p, limit, (conversion == 'x' || conversion == 'X') ? 16 : 10, value)) {
          stoppedAt(cur_);
          return stored;
        }
        if (target) storeInteger(*target, value);
        matched(p);
        break;
      }
      case 'f':
      case 'e':
      case 'g':
      case 'a':
      case 'E':
      case 'G':
      case 'A': {
        const char* p;
        if (target && target->type == ScanType::f32) {
          float value{};
          p = parseFloat(cur_, limit, value);
          if (p == cur_) {
            stoppedAt(cur_);
            return stored;
          }
          store(target->destination, value);
        } else {
          double value{};
          p = parseFloat(cur_, limit, value);
          if (p == cur_) {
            stoppedAt(cur_);
            return stored;
          }
          if (target) {
            if (target->type == ScanType::f64)
              store(target->destination, value);
            else
              storeInteger(*target, static_cast<std::uint64_t>(static_cast<std::int64_t>(value)));
          }
        }
        matched(p);
        break;
      }
      case 's': {
        const char* p = cur_;
        while (p != limit && !isSpace(*p)) ++p;
        if (target && target->type == ScanType::text) {
          static_cast<std::string*>(target->destination)->assign(cur_, p);
        }
        matched(p);
        break;
      }
      case '[': {
        // Scanset: "[abc]", "[^abc]"; a ']' right after the opening (or after '^') is a member.
        bool negate = f != fend && *f == '^';
        if (negate) ++f;
        const char* setBegin = f;
        if (f != fend && *f == ']') ++f;
        while (f != fend && *f != ']') ++f;
        std::string_view set{setBegin, static_cast<std::size_t>(f - setBegin)};
        if (f != fend) ++f;
        // A '-' between two characters is a range, as the C library takes it.
        auto member = [&](char c) {
          for (std::size_t k = 0; k < set.size(); ++k) {
            if (k + 2 < set.size() && set[k + 1] == '-') {
              if (static_cast<unsigned char>(c) >= static_cast<unsigned char>(set[k]) &&
                  static_cast<unsigned char>(c) <= static_cast<unsigned char>(set[k + 2])) {
                return true;
              }
              k += 2;
            } else if (set[k] == c) {
              return true;
            }
          }
          return false;
        };
        const char* p = cur_;
        while (p != limit && member(*p) != negate) ++p;
        if (p == cur_) {
          stoppedAt(cur_);
          return stored;
        }
        if (target && target->type == ScanType::text) {
          static_cast<std::string*>(target->destination)->assign(cur_, p);
        }
        matched(p);
        break;
      }
      default:
        return stored;  // unsupported conversion: treated as a mismatch
    }
  }
  return stored;
}

std::optional<std::string_view> TextScanner::readLine(std::size_t bufferSize, bool* lineEnded) {
  if (lineEnded) *lineEnded = false;
  refillIfLow();
  if (bufferSize < 2) return std::nullopt;
  runOutAt(cur_);
  if (cur_ == end_) return std::nullopt;
  std::size_t most = bufferSize - 1;
  const char* start = cur_;
  const char* p = cur_;
  while (p != end_ && static_cast<std::size_t>(p - start) < most && *p != '\n') ++p;
  const char* stop = p;
  if (p != end_ && *p == '\n' && static_cast<std::size_t>(p - start) < most) {
    ++p;
    if (lineEnded) *lineEnded = true;
  }
  runOutAt(stop);  // a line is whole only with its line end
  cur_ = p;
  if (stop != start && stop[-1] == '\r' && (stop == end_ || *stop == '\n')) --stop;
  return std::string_view{start, static_cast<std::size_t>(stop - start)};
}

bool EarlyEnd::check(std::string_view what) {
  if (!in_.ranOut()) return false;
  if (detail_.empty()) detail_ = what;
  return true;
}

bool EarlyEnd::check(std::int64_t read, std::int64_t count, std::string_view kind) {
  if (!in_.ranOut()) return false;
  if (detail_.empty()) {
    detail_ = "ends early: " + std::to_string(read) + " of " + std::to_string(count) + " ";
    detail_ += kind;
  }
  return true;
}

}  // namespace tessarim
