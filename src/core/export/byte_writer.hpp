#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <string>
#include <string_view>

namespace tessarim {

// Little-endian fields of the runtime files, appended to a byte string.
class ByteWriter {
 public:
  static constexpr std::size_t nameField = 260;  // a zero-terminated 8-bit name, zero-padded

  void u8(std::uint8_t v) { out_.push_back(static_cast<char>(v)); }
  void u16(std::uint16_t v) {
    u8(static_cast<std::uint8_t>(v));
    u8(static_cast<std::uint8_t>(v >> 8));
  }
  void u32(std::uint32_t v) {
    u16(static_cast<std::uint16_t>(v));
    u16(static_cast<std::uint16_t>(v >> 16));
  }
  void f32(float v) { u32(std::bit_cast<std::uint32_t>(v)); }
  void f32x3(const std::array<float, 3>& v) {
    for (float c : v) f32(c);
  }
  void f32x3(const std::array<float, 3>& v, float k) {
    for (float c : v) f32(c * k);
  }
  // The caller has checked that the name leaves room for its terminator.
  void name(std::string_view s) {
    out_.append(s.substr(0, nameField - 1));
    zeros(nameField - std::min(s.size(), nameField - 1));
  }
  void zeros(std::size_t n) { out_.append(n, '\0'); }
  void bytes(std::string_view s) { out_.append(s); }
  void patchU16(std::size_t at, std::uint16_t v) {
    out_[at] = static_cast<char>(v);
    out_[at + 1] = static_cast<char>(v >> 8);
  }
  void patchU32(std::size_t at, std::uint32_t v) {
    patchU16(at, static_cast<std::uint16_t>(v));
    patchU16(at + 2, static_cast<std::uint16_t>(v >> 16));
  }

  std::size_t size() const { return out_.size(); }
  const std::string& str() const { return out_; }

 private:
  std::string out_;
};

}  // namespace tessarim
