#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tessarim {

// A GUID in the Windows layout: 32-bit, 16-bit, 16-bit fields, then 8 bytes.
struct Guid {
  std::uint32_t data1 = 0;
  std::uint16_t data2 = 0;
  std::uint16_t data3 = 0;
  std::array<std::uint8_t, 8> data4{};

  bool isNull() const;
  friend bool operator==(const Guid&, const Guid&) = default;
};

// A random version-4 GUID.
Guid newGuid();

}  // namespace tessarim
