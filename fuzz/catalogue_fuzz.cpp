// Feeds arbitrary catalogue bytes and base map names to the texture catalogue match. Beyond the
// sanitizers' checks, a catalogue the match wrote must be settled: matching the same modules
// against it again adds no record and changes no byte. (Not so for a name beginning with a
// backslash and "i": records of that form are compared without their leading part, so such a
// module never finds its own record and adds one at every match. Those inputs are only run.)
//
// Input: one byte choosing the catalogue, one byte giving the number of modules (at most 8), then
// that many base map names, each ended by a line feed, then the catalogue's bytes.

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

  // A count far past the records the bytes hold only makes empty records (the tests have a short
  // file); thousands of them would slow every run down to a few a second.
  if (rest.size() >= 2) {
    const int count = static_cast<unsigned char>(rest[0]) | static_cast<unsigned char>(rest[1])
                                                                << 8;
    if (count < 0x8000 && count > static_cast<int>(rest.size() / 400) + 8) return 0;
  }
  const CatalogueMatch first = matchCatalogue(*model, which, std::string{rest});
  if (first.full || prefixedName) return 0;
  require(first.catalogue.size() >= 400 && first.catalogue.size() % 400 == 0);
  const CatalogueMatch again = matchCatalogue(*model, which, first.catalogue);
  require(!again.full);
  require(again.catalogue == first.catalogue);
  require(again.listing == first.listing);
  return 0;
}
