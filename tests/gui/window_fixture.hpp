#pragma once

#include <memory>

#include "editor/editor.hpp"
#include "main_window.hpp"
#include "model/model.hpp"
#include "support/editor_fixture.hpp"

namespace tessarim::testing {

// The editor's window over a scripted repository, as start-up leaves it.
struct WindowFixture : EditorFixture {
  WindowFixture() {
    model.document.documentPath.clear();
    window = std::make_unique<MainWindow>(editor);
  }
  std::unique_ptr<MainWindow> window;
};

}  // namespace tessarim::testing
