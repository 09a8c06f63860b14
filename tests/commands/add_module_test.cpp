#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "commands/add_module_commands.hpp"
#include "commands/command_numbers.hpp"
#include "commands/dispatch.hpp"
#include "editor/editor.hpp"
#include "formats/assembly.hpp"
#include "formats/wld.hpp"
#include "maths/matrix.hpp"
#include "model/ground_grid.hpp"
#include "support/documents.hpp"
#include "support/temp_repo.hpp"

namespace tessarim {
namespace {

using Point = std::array<float, 3>;

constexpr double kmShips = 0.00034822;  // class 1
constexpr double kmLegacy = 0.0039;     // class 2

// A one-triangle mesh of the given scale class.
std::string meshOfClass(int scaleClass) {
  return testing::triangleWld(0, scaleClass);
}

Instance cleanInstance(Point at, int group = 0) {
  Instance t;
  t.guid = newGuid();
  t.location = t.endLocation = at;
  t.extendRate = t.retractRate = 1;
  t.group = static_cast<std::int16_t>(group);
  return t;
}

struct Placed {
  Point location;
  int group;
};

// A repository with an editor over its model. Documents are built in the model from mesh files
// written into the repository, as reading them would leave them.
struct AddModule : testing::TempRepo {
  Editor editor{Session{model, repository, ui, store, clock}};

  // Writes the mesh and makes it module m, with the given instances.
  void loadModule(int m, const std::string& relative, int scaleClass,
                  const std::vector<Placed>& placed) {
    write(relative, meshOfClass(scaleClass));
    Module& module = model.document.module[m];
    module = Module{};
    module.filename = toStoredForm(relative);
    ASSERT_EQ(loadWldModule(session, module, WldReadOptions{}), WldLoad::ok);
    for (const Placed& p : placed) module.instances.push_back(cleanInstance(p.location, p.group));
    if (m >= model.document.wldfiles) model.document.wldfiles = static_cast<std::uint16_t>(m + 1);
  }

  // An assembly of hull (class 1, placed at (3, 4, 5) with type 100) and fin (class 2).
  void openAssembly(int hullClass = 1) {
    model.document.kind = DocumentKind::asmfile;
    model.document.documentPath = "ships\\boat.asm";
    loadModule(0, "meshes/hull.wld", hullClass, {{{3, 4, 5}, 7}});
    loadModule(1, "meshes/fin.wld", 2, {{{1, 0, 0}, 0}});
    model.document.module[0].instances[0].type = 100;
    select(0, 0, -1);
  }

  // A city of type -9: a house (class 1) with buildings 1 and 3, and the ground grid, which is
  // current as after "Select RTSPS Grid"; the grid cursor on cell (4, 7) at map (0.25, 0.75).
  void openCity() {
    model.document.kind = DocumentKind::ctyfile;
    model.document.documentPath = "cities\\town.cty";
    model.document.modelId = -9;
    loadModule(0, "meshes/house.wld", 1, {{{100, 0, 0}, 1}, {{200, 0, 0}, 3}});
    model.document.wldfiles = 2;
    buildGroundGrid(model, 1);
    select(1, 0, 0);
    model.gridCursor = GridCursor{4, 7, 0.25f, 0.75f};
  }

  void select(int module, int instance, int group) {
    Selection& s = model.selection;
    s = Selection{};
    s.currentModule = static_cast<std::int16_t>(module);
    s.currentInstance = static_cast<std::int16_t>(instance);
    s.currentGroup = static_cast<std::int16_t>(group);
  }

  // Chooses the file in the dialog and issues "Add new module...".
  CommandOutcome add(const std::string& relative) {
    ui.openResults.push_back({(root / relative).string()});
    return issueCommand(editor, cmd::addModule);
  }

  const Instance& currentInstance() const {
    const Selection& s = model.selection;
    return model.document.module[s.currentModule].instances[s.currentInstance];
  }

  std::vector<std::string> messages() const {
    std::vector<std::string> out;
    for (const auto& box : ui.boxes) out.push_back(box.text);
    return out;
  }

  // The document as text: each module's name, class and vertex count, each instance's GUID,
  // place, type and group.
  std::string snapshot() const {
    std::string out = std::to_string(model.document.wldfiles) + "\n";
    for (int m = 0; m < model.document.wldfiles; ++m) {
      const Module& module = model.document.module[m];
      out += module.filename + " " + std::to_string(module.scaleClass) + " " +
             std::to_string(module.vertices.size()) + "\n";
      for (const Instance& t : module.instances) {
        out += " " + std::to_string(t.guid.data1) + " " + std::to_string(t.location[0]) + " " +
               std::to_string(t.location[1]) + " " + std::to_string(t.location[2]) + " " +
               std::to_string(t.type) + " " + std::to_string(t.group) + "\n";
      }
    }
    return out;
  }
};

// The dialog starts at "Last Import" (in the repository before anything was imported) and
// stores the chosen path back; cancelling changes nothing.
TEST(AddModuleDialog, StartsAtTheLastImportAndStoresTheChoice) {
  AddModule f;
  f.openAssembly();
  EXPECT_EQ(issueCommand(f.editor, cmd::addModule), CommandOutcome::refused) << "cancelled";
  f.store.writeString("Quorvane Industries", "Last Import", "/imports/start.wld");
  EXPECT_EQ(issueCommand(f.editor, cmd::addModule), CommandOutcome::refused) << "cancelled";
  ASSERT_EQ(f.ui.openCalls.size(), 2u);
  EXPECT_EQ(f.ui.openCalls[0].startPath, f.repository.host);
  EXPECT_EQ(f.ui.openCalls[1].filter.description, "Supported files (*.wld,*.asm)");
  EXPECT_EQ(f.ui.openCalls[1].filter.pattern, "*.WLD;*.ASM");
  EXPECT_EQ(f.ui.openCalls[1].startPath, "/imports/start.wld");
  EXPECT_EQ(f.model.document.module[0].instances.size(), 1u);
  EXPECT_EQ(f.editor.history.size(), 0u);

  ASSERT_EQ(f.add("meshes/fin.wld"), CommandOutcome::done);
  EXPECT_EQ(f.store.readString("Quorvane Industries", "Last Import"),
            (f.root / "meshes/fin.wld").string());
  EXPECT_EQ(f.ui.openCalls[2].startPath, "/imports/start.wld");
}

// Carrying the current instance's place into a module of another class keeps its real length;
// an unassigned side (1 km per unit) is reported and the command goes on.
TEST(AddModuleScale, ConvertsTheTemplatePlaceBetweenClasses) {
  struct Case {
    const char* name;
    int from, to;
    bool loaded;  // the target is a loaded module (a new instance) or a new module
    std::vector<std::string> messages;
    double factor;
  } cases[] = {
      {"same class", 1, 1, true, {}, 1},
      {"legacy buildings into ships", 2, 1, true, {}, kmLegacy / kmShips},
      {"from an unassigned module", 0, 1, true, {"Scale issue with merge 1!"}, 1 / kmShips},
      {"into an unassigned module", 1, 0, true, {"Scale issue with merge 2!"}, kmShips},
      {"two unassigned classes",
       0,
       20,
       true,
       {"Scale issue with merge 1!", "Scale issue with merge 2!"},
       1},
      {"new module, same class", 2, 2, false, {}, 1},
      {"new module, ships into legacy", 1, 2, false, {}, kmShips / kmLegacy},
      {"new module from an unassigned one",
       0,
       2,
       false,
       {"Scale issue with merge 3!"},
       1 / kmLegacy},
      {"new unassigned module", 2, 0, false, {"Scale issue with merge 4!"}, kmLegacy},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AddModule f;
    f.model.document.kind = DocumentKind::asmfile;
    f.model.document.documentPath = "ships\\boat.asm";
    f.loadModule(0, "meshes/from.wld", c.from, {{{3, 4, 5}, 0}});
    if (c.loaded) {
      f.loadModule(1, "meshes/to.wld", c.to, {});
    } else {
      f.write("meshes/to.wld", meshOfClass(c.to));
    }
    f.select(0, 0, -1);
    ASSERT_EQ(f.add("meshes/to.wld"), CommandOutcome::done);
    EXPECT_EQ(f.messages(), c.messages);
    for (const auto& box : f.ui.boxes) {
      EXPECT_EQ(box.caption, "Failed!");
      EXPECT_EQ(box.icon, MessageIcon::information);
    }
    ASSERT_EQ(f.model.selection.currentModule, 1);
    const Point& at = f.currentInstance().location;
    EXPECT_FLOAT_EQ(at[0], static_cast<float>(3 * c.factor));
    EXPECT_FLOAT_EQ(at[1], static_cast<float>(4 * c.factor));
    EXPECT_FLOAT_EQ(at[2], static_cast<float>(5 * c.factor));
  }
}

// A loaded module of that name, in any letter case, gets a new instance from the current one
// (type 100 becomes 0); Undo Edit takes it away again.
TEST(AddModuleWld, ALoadedModuleGetsANewInstance) {
  AddModule f;
  f.openAssembly();
  f.select(0, 0, 60);
  const std::string before = f.snapshot();
  const Guid source = f.model.document.module[0].instances[0].guid;
  ASSERT_EQ(f.add("MESHES/HULL.WLD"), CommandOutcome::done);
  EXPECT_EQ(f.model.document.wldfiles, 2);
  ASSERT_EQ(f.model.document.module[0].instances.size(), 2u);
  const Selection& s = f.model.selection;
  EXPECT_EQ(s.currentModule, 0);
  EXPECT_EQ(s.currentInstance, 1);
  EXPECT_EQ(s.currentPolygon, -1);
  EXPECT_EQ(s.currentGroup, 60) << "a group of 50..99 stays";
  const Instance& added = f.currentInstance();
  EXPECT_EQ(added.type, 0);
  EXPECT_EQ(added.location, (Point{3, 4, 5}));
  EXPECT_EQ(added.group, 7);
  EXPECT_FALSE(added.guid == source);
  EXPECT_FALSE(added.guid.isNull());
  EXPECT_EQ(added.worldMatrix, identityMatrix());
  EXPECT_TRUE(f.model.status.documentModified);
  EXPECT_TRUE(f.model.status.geometryDirty);
  EXPECT_FALSE(f.model.status.texturesLoaded);

  ASSERT_EQ(issueCommand(f.editor, cmd::undoEdit), CommandOutcome::done);
  EXPECT_EQ(f.snapshot(), before);
  EXPECT_EQ(f.model.selection.currentInstance, 0);
  EXPECT_EQ(f.model.selection.currentGroup, 60);
}

// A new file is loaded into the next slot with one instance: a copy of the current one (type
// kept) while a group other than 0 is browsed, else a default instance; identity matrix and a
// new GUID either way. Undo Edit removes the module again.
TEST(AddModuleWld, ANewFileBecomesTheNextModule) {
  struct Case {
    int group;
    bool current;
    Point location;
    int type;
  } cases[] = {{-1, true, {3, 4, 5}, 100}, {0, true, {0, 0, 0}, 0}, {-1, false, {0, 0, 0}, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "group " << c.group << ", current " << c.current);
    AddModule f;
    f.openAssembly();
    f.write("meshes/keel.wld", meshOfClass(1));
    f.select(0, c.current ? 0 : -1, c.group);
    const std::string before = f.snapshot();
    ASSERT_EQ(f.add("meshes/keel.wld"), CommandOutcome::done);
    ASSERT_EQ(f.model.document.wldfiles, 3);
    const Module& keel = f.model.document.module[2];
    EXPECT_EQ(keel.filename, "meshes\\keel.wld");
    EXPECT_EQ(keel.vertices.size(), 3u);
    ASSERT_EQ(keel.instances.size(), 1u);
    EXPECT_EQ(f.model.selection.currentModule, 2);
    EXPECT_EQ(f.model.selection.currentInstance, 0);
    EXPECT_EQ(f.model.selection.currentGroup, -1);
    EXPECT_EQ(keel.instances[0].location, c.location);
    EXPECT_EQ(keel.instances[0].type, c.type);
    EXPECT_EQ(keel.instances[0].worldMatrix, identityMatrix());
    EXPECT_FALSE(keel.instances[0].guid.isNull());
    EXPECT_FALSE(keel.instances[0].guid == f.model.document.module[0].instances[0].guid);

    ASSERT_EQ(issueCommand(f.editor, cmd::undoEdit), CommandOutcome::done);
    EXPECT_EQ(f.snapshot(), before);
    EXPECT_TRUE(f.model.document.module[2].filename.empty());
  }
}

// A component module's new instance gets its empty equipment record and the systems view shows
// its system; Undo Edit takes the record away with the module.
TEST(AddModuleWld, AComponentModuleGetsItsRecord) {
  AddModule f;
  f.openAssembly();
  Module pump;
  pump.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
  pump.polygons = {f.model.document.module[0].polygons[0]};
  pump.canvasWidth = pump.canvasHeight = pump.canvasWidth2 = pump.canvasHeight2 = 2048;
  pump.scaleClass = 1;
  pump.componentType = 3;
  f.write("meshes/pump.wld", formatWld(pump));
  ASSERT_EQ(f.add("meshes/pump.wld"), CommandOutcome::done);
  const Document& d = f.model.document;
  ASSERT_EQ(d.module[2].componentType, 3);
  ASSERT_EQ(d.components.size(), 1u);
  EXPECT_EQ(d.components[0].guid, d.module[2].instances[0].guid);
  EXPECT_TRUE(f.model.settings.view.systemsView);
  EXPECT_TRUE(f.model.settings.view.systemShown[3]);

  ASSERT_EQ(issueCommand(f.editor, cmd::undoEdit), CommandOutcome::done);
  EXPECT_TRUE(f.model.document.components.empty());
  EXPECT_EQ(f.model.document.wldfiles, 2);
}

// Only a browsed group of 50..99 survives adding; any other becomes none.
TEST(AddModuleWld, KeepsOnlyAGroupOfFiftyToNinetyNine) {
  const std::pair<int, int> cases[] = {{49, -1}, {50, 50}, {99, 99}, {100, -1}, {5, -1}, {0, -1}};
  for (const auto& [group, expected] : cases) {
    SCOPED_TRACE(group);
    AddModule f;
    f.openAssembly();
    f.select(0, 0, group);
    ASSERT_EQ(f.add("meshes/fin.wld"), CommandOutcome::done);
    EXPECT_EQ(f.model.selection.currentGroup, expected);
  }
}

// A 257th module is refused with the message; the document counts as changed, nothing is added
// and there is nothing to undo.
TEST(AddModuleWld, RefusesTheTwoHundredFiftySeventhModule) {
  AddModule f;
  f.openAssembly();
  for (int m = 2; m < maxModules; ++m) {
    f.model.document.module[m].filename = "meshes\\m" + std::to_string(m) + ".wld";
    f.model.document.module[m].instances.push_back(cleanInstance({0, 0, 0}));
  }
  f.model.document.wldfiles = maxModules;
  f.write("meshes/keel.wld", meshOfClass(1));
  f.model.status.documentModified = false;
  const std::string before = f.snapshot();
  ASSERT_EQ(f.add("meshes/keel.wld"), CommandOutcome::done);
  ASSERT_EQ(f.ui.boxes.size(), 1u);
  EXPECT_EQ(f.ui.boxes[0].text, "Adding this new type will exceed the maximum allowable types!");
  EXPECT_EQ(f.ui.boxes[0].caption, "Failed!");
  EXPECT_EQ(f.ui.boxes[0].icon, MessageIcon::information);
  EXPECT_EQ(f.snapshot(), before);
  EXPECT_TRUE(f.model.status.documentModified);
  EXPECT_EQ(f.editor.history.size(), 0u);

  // A new instance of a loaded module is still possible.
  ASSERT_EQ(f.add("meshes/fin.wld"), CommandOutcome::done);
  EXPECT_EQ(f.model.document.module[1].instances.size(), 2u);
}

// A file that cannot be read adds nothing; the reader's message says why.
TEST(AddModuleWld, AMissingFileAddsNothing) {
  AddModule f;
  f.openAssembly();
  const std::string before = f.snapshot();
  EXPECT_EQ(f.add("meshes/ghost.wld"), CommandOutcome::refused);
  EXPECT_EQ(f.snapshot(), before);
  ASSERT_EQ(f.ui.boxes.size(), 1u);
  EXPECT_EQ(f.ui.boxes[0].caption, "File not loaded!");
  EXPECT_EQ(f.editor.history.size(), 0u);
}

// In a city with the grid browsed, the added instance becomes a building under the lowest number
// no other module uses, placed at the grid cursor's cell; a new module takes the grid's slot and
// the grid, rebuilt, stays last.
TEST(AddModuleCity, PlacesABuildingAtTheGridCursor) {
  struct Case {
    const char* file;
    int module;    // where the added instance lands
    int building;  // 1 and 3 are used by the house
  } cases[] = {
      {"meshes/shed.wld", 1, 2},
      {"meshes/house.wld", 0, 1},  // the house's own buildings do not count
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    AddModule f;
    f.openCity();
    f.write("meshes/shed.wld", meshOfClass(1));
    const std::string before = f.snapshot();
    ASSERT_EQ(f.add(c.file), CommandOutcome::done);
    const Document& d = f.model.document;
    const int modules = c.module == 1 ? 3 : 2;
    ASSERT_EQ(d.wldfiles, modules);
    const Module& grid = d.module[modules - 1];
    EXPECT_TRUE(grid.filename.empty());
    EXPECT_EQ(grid.vertices.size(), 27u * 27u);
    EXPECT_EQ(grid.instances.size(), 1u);
    const Selection& s = f.model.selection;
    EXPECT_EQ(s.currentModule, c.module);
    EXPECT_EQ(s.currentGroup, c.building);
    const Instance& added = f.currentInstance();
    EXPECT_EQ(added.group, c.building);
    const float k = static_cast<float>(kmLegacy / kmShips);
    EXPECT_FLOAT_EQ(added.location[0], 4 * k);
    EXPECT_FLOAT_EQ(added.location[1], 7 * k);
    EXPECT_EQ(added.location[2], 0);

    ASSERT_EQ(issueCommand(f.editor, cmd::undoEdit), CommandOutcome::done);
    EXPECT_EQ(f.snapshot(), before);
    EXPECT_EQ(f.model.selection.currentGroup, 0);
  }
}

// Corner points of the city area (upper-left, upper-right, lower-left, lower-right) and the
// bilinear position at (u, v).
std::array<double, 2> bilinear(const std::array<std::array<double, 2>, 4>& corner, double u,
                               double v) {
  std::array<double, 2> p{};
  for (int k = 0; k < 2; ++k) {
    p[k] = (1 - u) * (1 - v) * corner[0][k] + u * (1 - v) * corner[1][k] +
           (1 - u) * v * corner[2][k] + u * v * corner[3][k];
  }
  return p;
}

// An assembly merged into a city with the grid browsed: its instances move by the city position
// under the grid cursor, in each module's own units, become the lowest free building and end
// selected. Undo Edit takes the merge back whole.
TEST(AddModuleCity, MergesAnAssemblyAsABuildingUnderTheCursor) {
  struct Case {
    const char* name;
    bool zonal;
    std::array<std::array<double, 2>, 4> corners;
  } cases[] = {
      {"district -9",
       false,
       {{{-201.586, 307.2259},
         {201.74577, 198.50508},
         {-201.52809, -198.34859},
         {201.67848, -307.27283}}}},
      {"zonal scaling", true, {{{-130, 130}, {130, 130}, {-130, -130}, {130, -130}}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AddModule f;
    f.openCity();
    f.model.document.rtsEnabled = c.zonal;
    f.write("meshes/tower.wld", meshOfClass(2));
    Model scratch;
    scratch.document.kind = DocumentKind::asmfile;
    scratch.document.wldfiles = 2;
    scratch.document.module[0].filename = "meshes\\house.wld";
    scratch.document.module[0].instances = {cleanInstance({10, 20, 30})};
    scratch.document.module[1].filename = "meshes\\tower.wld";
    scratch.document.module[1].instances = {cleanInstance({1, 2, 3})};
    f.write("imports/block.asm", formatAssembly(scratch, false).bytes);
    const std::string before = f.snapshot();

    ASSERT_EQ(f.add("imports/block.asm"), CommandOutcome::done);
    const Document& d = f.model.document;
    ASSERT_EQ(d.wldfiles, 3);
    EXPECT_EQ(d.module[1].filename, "meshes\\tower.wld");
    EXPECT_EQ(d.module[2].vertices.size(), 27u * 27u) << "the grid stays last";
    ASSERT_EQ(d.module[0].instances.size(), 3u);
    ASSERT_EQ(d.module[1].instances.size(), 1u);

    const auto at = bilinear(c.corners, 0.25, 0.75);
    const Instance& house = d.module[0].instances[2];
    const Instance& tower = d.module[1].instances[0];
    const double houseUnits = kmShips * 256.41028, towerUnits = kmLegacy * 256.41028;
    EXPECT_NEAR(house.location[0], 10 + at[0] / houseUnits, 1e-2);
    EXPECT_NEAR(house.location[1], 20 + at[1] / houseUnits, 1e-2);
    EXPECT_EQ(house.location[2], 30);
    EXPECT_EQ(house.endLocation, house.location);
    EXPECT_NEAR(tower.location[0], 1 + at[0] / towerUnits, 1e-4);
    EXPECT_NEAR(tower.location[1], 2 + at[1] / towerUnits, 1e-4);
    EXPECT_EQ(tower.location[2], 3);

    const Selection& s = f.model.selection;
    EXPECT_EQ(s.currentGroup, 2);
    EXPECT_EQ(house.group, 2);
    EXPECT_EQ(tower.group, 2);
    EXPECT_EQ(s.currentModule, -2);
    EXPECT_EQ(s.currentInstance, -1);
    ASSERT_EQ(s.selectedInstances.size(), 2u);
    EXPECT_EQ(s.selectedInstances[0].module, 0);
    EXPECT_EQ(s.selectedInstances[0].instance, 2);
    EXPECT_EQ(s.selectedInstances[1].module, 1);
    EXPECT_EQ(s.selectedInstances[1].instance, 0);
    EXPECT_TRUE(f.model.status.documentModified);

    ASSERT_EQ(issueCommand(f.editor, cmd::undoEdit), CommandOutcome::done);
    EXPECT_EQ(f.snapshot(), before);
  }
}

// Merged into an assembly, the instances keep their places and the imported group 1000; nothing
// is browsed or selected afterwards.
TEST(AddModuleAsm, MergesIntoAnAssembly) {
  AddModule f;
  f.openAssembly();
  f.write("meshes/keel.wld", meshOfClass(1));
  Model scratch;
  scratch.document.kind = DocumentKind::asmfile;
  scratch.document.wldfiles = 2;
  scratch.document.module[0].filename = "meshes\\hull.wld";
  scratch.document.module[0].instances = {cleanInstance({50, 0, 0})};
  scratch.document.module[1].filename = "meshes\\keel.wld";
  scratch.document.module[1].instances = {cleanInstance({0, 60, 0})};
  f.write("imports/other.asm", formatAssembly(scratch, false).bytes);
  f.select(0, 0, 5);
  const std::string before = f.snapshot();

  ASSERT_EQ(f.add("imports/other.asm"), CommandOutcome::done);
  const Document& d = f.model.document;
  ASSERT_EQ(d.wldfiles, 3);
  ASSERT_EQ(d.module[0].instances.size(), 2u);
  EXPECT_EQ(d.module[0].instances[1].location, (Point{50, 0, 0}));
  EXPECT_EQ(d.module[0].instances[1].group, 1000);
  EXPECT_EQ(d.module[2].filename, "meshes\\keel.wld");
  ASSERT_EQ(d.module[2].instances.size(), 1u);
  EXPECT_EQ(d.module[2].instances[0].location, (Point{0, 60, 0}));
  EXPECT_EQ(d.module[2].instances[0].group, 1000);
  const Selection& s = f.model.selection;
  EXPECT_EQ(s.currentGroup, -1);
  EXPECT_EQ(s.currentModule, 2) << "the last imported instance's module";
  EXPECT_EQ(s.currentInstance, -1);
  EXPECT_TRUE(s.selectedInstances.empty());

  ASSERT_EQ(issueCommand(f.editor, cmd::undoEdit), CommandOutcome::done);
  EXPECT_EQ(f.snapshot(), before);
  EXPECT_EQ(f.model.selection.currentGroup, 5);
}

// Refresh From ASM erases the browsed group from every module, a module it empties too; the
// group stays browsed and the current instance follows the renumbering.
TEST(RefreshFromAsm, ErasesTheBrowsedGroup) {
  AddModule f;
  f.model.document.kind = DocumentKind::asmfile;
  f.model.document.documentPath = "ships\\boat.asm";
  f.loadModule(0, "meshes/hull.wld", 1, {{{1, 0, 0}, 5}, {{2, 0, 0}, 0}, {{3, 0, 0}, 5}});
  f.loadModule(1, "meshes/fin.wld", 2, {{{4, 0, 0}, 5}});
  f.loadModule(2, "meshes/keel.wld", 1, {{{5, 0, 0}, 0}});
  f.select(2, 0, 5);
  const std::string before = f.snapshot();
  ASSERT_EQ(issueCommand(f.editor, cmd::refreshFromAsm), CommandOutcome::done);
  const Document& d = f.model.document;
  ASSERT_EQ(d.wldfiles, 2);
  EXPECT_EQ(d.module[1].filename, "meshes\\keel.wld");
  ASSERT_EQ(d.module[0].instances.size(), 1u);
  EXPECT_EQ(d.module[0].instances[0].location[0], 2);
  EXPECT_EQ(f.model.selection.currentModule, 1);
  EXPECT_EQ(f.model.selection.currentInstance, 0);
  EXPECT_EQ(f.model.selection.currentGroup, 5);
  EXPECT_TRUE(f.model.status.documentModified);
  EXPECT_TRUE(f.model.status.geometryDirty);

  ASSERT_EQ(issueCommand(f.editor, cmd::undoEdit), CommandOutcome::done);
  EXPECT_EQ(f.snapshot(), before);
}

// In a city with the grid browsed (group 0), the buildings numbered 0 go; the ground grid stays.
TEST(RefreshFromAsm, KeepsTheCityGroundGrid) {
  AddModule f;
  f.openCity();
  f.model.document.module[0].instances[0].group = 0;
  ASSERT_EQ(issueCommand(f.editor, cmd::refreshFromAsm), CommandOutcome::done);
  const Document& d = f.model.document;
  ASSERT_EQ(d.wldfiles, 2);
  ASSERT_EQ(d.module[0].instances.size(), 1u);
  EXPECT_EQ(d.module[0].instances[0].group, 3);
  EXPECT_EQ(d.module[1].instances.size(), 1u);
  EXPECT_EQ(d.module[1].vertices.size(), 27u * 27u);
  EXPECT_EQ(f.model.selection.currentModule, 1);
  EXPECT_EQ(f.model.selection.currentInstance, 0);

  // With no instance of the group left there is nothing to do.
  EXPECT_EQ(issueCommand(f.editor, cmd::refreshFromAsm), CommandOutcome::refused);
}

}  // namespace
}  // namespace tessarim
