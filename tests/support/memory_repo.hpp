#pragma once

#include <string>
#include <string_view>

#include "formats/file_io.hpp"
#include "model/model.hpp"
#include "model/paths.hpp"
#include "model/session.hpp"
#include "support/temp_repo.hpp"

namespace tessarim::testing {

// A repository whose files are held in memory, so that a reader can be run over many texts
// cheaply (a file cut at every byte).
struct MemoryRepo {
  TempRepo repo;  // the model and the seams; its folder stays empty
  MemoryFiles files;
  Session session{repo.model, repo.repository, repo.ui, repo.store, repo.clock, files};

  void put(std::string_view name, std::string_view text) {
    files.put(hostPathOf(repo.repository, name), std::string{text});
  }
  // What the model notes of the file `name` having ended early; nullptr when nothing.
  const ShortFile* note(std::string_view name) const {
    for (const ShortFile& f : repo.model.status.readShort) {
      if (f.name == name) return &f;
    }
    return nullptr;
  }
  // Whether some message box had this caption.
  bool shown(std::string_view caption) const {
    for (const auto& box : repo.ui.boxes) {
      if (box.caption == caption) return true;
    }
    return false;
  }
};

}  // namespace tessarim::testing
