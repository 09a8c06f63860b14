#pragma once

#include <filesystem>
#include <string>

#include "commands/command_table.hpp"
#include "editor/editor.hpp"
#include "formats/assembly.hpp"
#include "support/documents.hpp"
#include "support/temp_repo.hpp"

namespace tessarim::testing {

// A repository holding a mesh, an assembly placing it twice and an editor over it.
struct EditorFixture : TempRepo {
  EditorFixture() {
    write("meshes/hull.wld", triangleWld());
    write("meshes/fin.wld", triangleWld(5));
    Model scratch;
    scratch.document.kind = DocumentKind::asmfile;
    scratch.document.wldfiles = 2;
    scratch.document.module[0].filename = "meshes\\hull.wld";
    scratch.document.module[0].instances.resize(2);
    scratch.document.module[0].instances[1].location = {3, 0, 0};
    scratch.document.module[1].filename = "meshes\\fin.wld";
    scratch.document.module[1].instances.resize(1);
    // Clean instances, so that reading the assembly finds nothing to mend.
    for (int m = 0; m < 2; ++m) {
      for (auto& instance : scratch.document.module[m].instances) {
        instance.guid = newGuid();
        instance.endLocation = instance.location;
        instance.extendRate = instance.retractRate = 1;
      }
    }
    write("ships/boat.asm", formatAssembly(scratch, false).bytes);
  }

  // A file's modification time moved on, as when another program saves it.
  void touch(const std::string& relative, const std::string& bytes) {
    auto path = root / relative;
    auto before = std::filesystem::last_write_time(path);
    write(relative, bytes);
    std::filesystem::last_write_time(path, before + std::chrono::seconds(2));
  }

  std::string host(const std::string& relative) const { return (root / relative).string(); }

  Editor editor{Session{model, repository, ui, store, clock}};
  Command none{};
};

}  // namespace tessarim::testing
