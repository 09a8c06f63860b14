#include "model/guid.hpp"

#include <random>

namespace tessarim {

bool Guid::isNull() const {
  return *this == Guid{};
}

Guid newGuid() {
  static thread_local std::mt19937_64 engine{std::random_device{}()};
  std::uint64_t a = engine(), b = engine();
  Guid g;
  g.data1 = static_cast<std::uint32_t>(a >> 32);
  g.data2 = static_cast<std::uint16_t>(a >> 16);
  g.data3 = static_cast<std::uint16_t>((a & 0x0FFF) | 0x4000);
  for (int i = 0; i < 8; ++i) g.data4[i] = static_cast<std::uint8_t>(b >> (8 * i));
  g.data4[0] = static_cast<std::uint8_t>((g.data4[0] & 0x3F) | 0x80);
  return g;
}

}  // namespace tessarim
