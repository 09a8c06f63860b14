#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "formats/file_io.hpp"

namespace tessarim {

enum class ScanType : std::uint8_t { i8, u8, i16, u16, i32, u32, i64, u64, f32, f64, text };

struct ScanTarget {
  ScanType type;
  void* destination;
};

template <class T>
constexpr ScanTarget scanTarget(T* p) {
  if constexpr (std::is_same_v<T, std::int8_t>)
    return {ScanType::i8, p};
  else if constexpr (std::is_same_v<T, std::uint8_t>)
    return {ScanType::u8, p};
  else if constexpr (std::is_same_v<T, std::int16_t>)
    return {ScanType::i16, p};
  else if constexpr (std::is_same_v<T, std::uint16_t>)
    return {ScanType::u16, p};
  else if constexpr (std::is_same_v<T, std::int32_t>)
    return {ScanType::i32, p};
  else if constexpr (std::is_same_v<T, std::uint32_t>)
    return {ScanType::u32, p};
  else if constexpr (std::is_same_v<T, std::int64_t>)
    return {ScanType::i64, p};
  else if constexpr (std::is_same_v<T, std::uint64_t>)
    return {ScanType::u64, p};
  else if constexpr (std::is_same_v<T, float>)
    return {ScanType::f32, p};
  else if constexpr (std::is_same_v<T, double>)
    return {ScanType::f64, p};
  else if constexpr (std::is_same_v<T, std::string>)
    return {ScanType::text, p};
  else
    static_assert(sizeof(T) == 0, "unsupported scan target");
}

// Formatted scanning over an in-memory text with the semantics of the C library's scanf,
// independent of the locale:
// - a whitespace character in the format skips any amount of whitespace, including none;
// - any other literal character must match the next input character, or scanning stops;
// - %d %u %x %X %f %e %g %s %[set] %[^set], with an optional '*' to skip the value, a width,
//   and length modifiers h hh l ll that are ignored: the destination's type decides the width
//   of the stored value, and integers keep its low bits;
// - a conversion other than a scanset skips leading whitespace; one that matches nothing stops
//   scanning and leaves its destination and all later ones untouched;
// - the position advances past everything consumed, so the next scan continues there.
// Returns the number of values stored, or -1 when the input ended before the first conversion.
//
// A read that needs more than the input holds (a field, or the comma or line end that closes
// it) sets ranOut(), as does one that reaches the very end of the input or stops at text running
// to the end without a space or comma ("-", "1e"), since the file may have been cut there.
//
// Over a FileWindow, the scanner moves the window on by itself whenever less than two of the
// longest lines it lets through are left in view, so that no field or line is ever cut at the
// window's edge. A string_view it returns is valid until the next call.
class TextScanner {
 public:
  explicit TextScanner(std::string_view input)
      : cur_(input.data()), end_(input.data() + input.size()) {}
  explicit TextScanner(FileWindow& window);

  template <class... T>
  int scan(std::string_view format, T*... destinations) {
    std::array<ScanTarget, sizeof...(T)> targets{scanTarget(destinations)...};
    return scanTargets(format, targets);
  }
  int scanTargets(std::string_view format, std::span<const ScanTarget> targets);

  // Reads like fgets into a buffer of bufferSize bytes: at most bufferSize - 1 characters, or
  // through the next line feed. The line end (LF, or CR LF) is not part of the result. Nothing
  // at the end of the input.
  // lineEnded tells whether a line feed was consumed (fgets would have kept it in the buffer).
  std::optional<std::string_view> readLine(std::size_t bufferSize, bool* lineEnded = nullptr);

  // The fast equivalents of one "%f ," or "%d ," / "%x ," field: a number after whitespace,
  // then whitespace and a comma. Returns -1 at the end of the input before the number, 0 when
  // there is no number, 1 when the number is not followed by the comma (a scan stops there),
  // 2 when both were read. A chain of fields continues only while each returns 2.
  int floatComma(float& value);
  template <class T>
  int integerComma(T& value, unsigned base = 10) {
    std::uint64_t bits = 0;
    int result = integerCommaBits(bits, base);
    if (result > 0) value = static_cast<T>(bits);
    return result;
  }

  void skipWhitespace();
  // Some read has met the end of the input before what it reads was closed; it stays set.
  bool ranOut() const { return ranOut_; }
  bool atEnd() {
    refillIfLow();
    return cur_ == end_;
  }
  // Bytes not yet read, in view or still in the file: a bound for what a count may claim.
  std::uint64_t remaining() const;

 private:
  int integerCommaBits(std::uint64_t& bits, unsigned base);
  int comma();
  // A read reached p: at the end of the input, what it read may go on past a cut.
  void runOutAt(const char* p) {
    if (p == end_) ranOut_ = true;
  }
  // A read failed at p: so it did for want of input when the text from p runs to the end
  // without a space or comma (a number cut after its sign).
  void stoppedAt(const char* p);
  void refillIfLow() {
    if (window_ && static_cast<std::size_t>(end_ - cur_) < refillMargin) refill();
  }
  void refill();

  static constexpr std::size_t refillMargin = 2 * FileWindow::longestLine;

  const char* cur_;
  const char* end_;
  FileWindow* window_ = nullptr;
  bool ranOut_ = false;
};

// Where a reader's input ran out before the end of its last field: the detail a short file is
// reported and noted with ("ends early: 3 of 6 polygons"). The first check that finds the input
// ended names what is missing; past that place every read finds the end.
class EarlyEnd {
 public:
  explicit EarlyEnd(const TextScanner& in) : in_(in) {}
  // True when the input has run out; the first such check keeps its words: `what` as it is
  // ("ends early: before its lights"), or `read` of `count` records of `kind` read whole.
  bool check(std::string_view what);
  bool check(std::int64_t read, std::int64_t count, std::string_view kind);
  // Empty while the input holds everything read so far.
  const std::string& detail() const { return detail_; }

 private:
  const TextScanner& in_;
  std::string detail_;
};

// Locale-independent scanf-style float parse of [first, last): sign, decimal or hexadecimal
// digits, exponent, inf, nan. Returns the end of the number, or first when there is none.
const char* parseFloat(const char* first, const char* last, float& out);
const char* parseFloat(const char* first, const char* last, double& out);

}  // namespace tessarim
