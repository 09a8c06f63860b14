// Feeds arbitrary bytes to the component file reader. Beyond the sanitizers' checks, lists the
// reader accepts must survive writing: written, read back (whole) and written again, they give
// the same bytes.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formats/component_file.hpp"
#include "model/model.hpp"
#include "platform/ui.hpp"
#include "silent_ui.hpp"

namespace {

using namespace tessarim;

using fuzzing::SilentUi;

void require(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // No module is loaded, so the copied module values are written as zeros: the model is only the
  // holder of the two lists, and too large to build for every input.
  static const std::unique_ptr<Model> model = std::make_unique<Model>();
  std::string_view text{reinterpret_cast<const char*>(data), size};

  SilentUi ui;
  bool modified = false;
  if (parseComponents(text, model->document.connectors, model->document.components, modified, ui) !=
      ComponentParseResult::ok) {
    return 0;
  }
  const std::string written = formatComponents(*model);
  const std::size_t connectorCount = model->document.connectors.size();
  std::vector<std::size_t> dependencyCounts;
  for (const Component& c : model->document.components)
    dependencyCounts.push_back(c.dependencies.size());

  std::string endsEarly;
  require(parseComponents(written, model->document.connectors, model->document.components, modified,
                          ui, {}, &endsEarly) == ComponentParseResult::ok);
  require(endsEarly.empty());
  require(model->document.connectors.size() == connectorCount);
  require(model->document.components.size() == dependencyCounts.size());
  for (std::size_t i = 0; i < dependencyCounts.size(); ++i) {
    require(model->document.components[i].dependencies.size() == dependencyCounts[i]);
  }
  require(formatComponents(*model) == written);
  return 0;
}
