#include "editor/refused_edits.hpp"

#include <string>

#include "editor/editor.hpp"
#include "model/geometry.hpp"
#include "platform/ui.hpp"

namespace tessarim {

bool showRefusedEdit(Editor& editor) {
  const std::string text = editor.history.takeRefusal();
  if (text.empty()) return false;
  computeStatistics(editor.model());
  editor.session.ui.messageBox(text, "Not changed!", MessageIcon::warning, MessageButtons::ok);
  return true;
}

}  // namespace tessarim
