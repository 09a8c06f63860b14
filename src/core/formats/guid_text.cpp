#include "formats/guid_text.hpp"

namespace tessarim {

std::optional<Guid> readGuid(TextScanner& in) {
  std::uint32_t d1 = 0, d2 = 0, d3 = 0;
  std::array<std::uint32_t, 8> b{};
  int n = in.scan("%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X ,", &d1, &d2, &d3, &b[0],
                  &b[1], &b[2], &b[3], &b[4], &b[5], &b[6], &b[7]);
  if (n != 11) return std::nullopt;
  Guid g;
  g.data1 = d1;
  g.data2 = static_cast<std::uint16_t>(d2);
  g.data3 = static_cast<std::uint16_t>(d3);
  for (int i = 0; i < 8; ++i) g.data4[i] = static_cast<std::uint8_t>(b[i]);
  return g;
}

void writeGuid(TextWriter& out, const Guid& g) {
  out.text(formatGuid(g)).text(" ,");
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

}  // namespace tessarim
