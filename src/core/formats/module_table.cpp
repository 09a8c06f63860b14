#include "formats/module_table.hpp"

#include "formats/wld.hpp"
#include "model/model.hpp"
#include "model/session.hpp"
#include "platform/ui.hpp"

namespace tessarim {

int addModule(Session& session, std::string_view name) {
  Model& model = session.model;
  if (model.document.wldfiles >= maxModules) {
    session.ui.message("Adding this new type will exceed the maximum allowable types!", "Failed!");
    return -1;
  }
  const int index = model.document.wldfiles;
  resetModule(model, index);
  model.document.module[index].filename = std::string{name};
  readWld(session, index, WldReadOptions{false, false, isCity(model.document)});
  ++model.document.wldfiles;
  return index;
}

}  // namespace tessarim
