#include "model/guid.hpp"

#include <random>

#include "formats/text_writer.hpp"

namespace tessarim {

bool Guid::isNull() const {
  return *this == Guid{};
}

std::string formatGuid(const Guid& guid) {
  TextWriter out;
  out.hex(guid.data1, 8, true)
      .text("-")
      .hex(guid.data2, 4, true)
      .text("-")
      .hex(guid.data3, 4, true);
  out.text("-").hex(guid.data4[0], 2, true).hex(guid.data4[1], 2, true).text("-");
  for (int i = 2; i < 8; ++i) out.hex(guid.data4[i], 2, true);
  return out.take();
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
