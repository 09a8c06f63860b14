// Feeds arbitrary catalogue bytes and base map names to the texture catalogue match. Beyond the
// sanitizers' checks, bytes must be refused exactly when they are no catalogue, and a catalogue
// the match wrote must be settled: matching the same modules against it again adds no record and
// changes no byte. (Not so for a name beginning with a backslash and "i": records of that form
// are compared without their leading part, so such a module never finds its own record and adds
// one at every match. Those inputs are only run.)
//
// Input: one byte choosing the catalogue, one byte giving the number of modules (at most 8), then
// that many base map names, each ended by a line feed, then the catalogue's bytes.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "commands/texture_commands.hpp"
#include "model/model.hpp"

namespace {

using namespace tessarim;

void require(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Too large to build for every input; each input sets what it uses.
  static const std::unique_ptr<Model> model = std::make_unique<Model>();
  if (size < 2) return 0;
  const auto which = static_cast<MatchCatalogue>(data[0] % 4);
  const int modules = data[1] % 9;
  std::string_view rest{reinterpret_cast<const char*>(data + 2), size - 2};

  Document& d = model->document;
  d.kind = DocumentKind::asmfile;
  d.wldfiles = static_cast<std::uint16_t>(modules);
  bool prefixedName = false;
  for (int m = 0; m < modules; ++m) {
    const std::size_t end = rest.find('\n');
    if (end == std::string_view::npos) return 0;
    Module& module = d.module[m];
    module.maps = {};
    module.maps[textfile] = std::string{rest.substr(0, end)};
    const std::string& name = module.maps[textfile];
    prefixedName |= name.size() >= 2 && name[0] == '\\' && (name[1] == 'i' || name[1] == 'I');
    module.maps[lightfile] = m % 2 == 0 ? "" : "light.png";
    module.instances.clear();
    module.sortKey = 0;
    rest.remove_prefix(end + 1);
  }

  // Bytes are refused exactly when their size does not fit the count in their header. Refused
  // bytes are matched again under a header that counts the records they hold, so that the match
  // itself meets every input too.
  std::string bytes{rest};
  const auto fits = [&] {
    if (bytes.empty()) return true;
    if (bytes.size() < 400 || bytes.size() % 400 != 0) return false;
    const int count = static_cast<std::int16_t>(static_cast<unsigned char>(bytes[0]) |
                                                static_cast<unsigned char>(bytes[1]) << 8);
    return count >= 0 && static_cast<std::size_t>(count) == bytes.size() / 400 - 1;
  };
  CatalogueMatch first = matchCatalogue(*model, which, bytes);
  require(first.refusal.empty() == fits());
  if (!first.refusal.empty()) {
    bytes.resize(std::max<std::size_t>(bytes.size() / 400, 1) * 400, '\0');
    const std::size_t count = bytes.size() / 400 - 1;
    bytes[0] = static_cast<char>(count & 0xFF);
    bytes[1] = static_cast<char>(count >> 8);
    first = matchCatalogue(*model, which, bytes);
    require(first.refusal.empty());
  }
  if (first.full || prefixedName) return 0;
  require(first.catalogue.size() >= 400 && first.catalogue.size() % 400 == 0);
  const CatalogueMatch again = matchCatalogue(*model, which, first.catalogue);
  require(!again.full);
  require(again.catalogue == first.catalogue);
  require(again.listing == first.listing);
  return 0;
}
