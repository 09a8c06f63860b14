#include "commands/texture_commands.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <map>

#include "commands/command_numbers.hpp"
#include "commands/dispatch.hpp"
#include "formats/wld.hpp"
#include "platform/settings_store.hpp"
#include "support/cli_run.hpp"
#include "support/documents.hpp"
#include "support/fifo_watchdog.hpp"
#include "support/view_fixture.hpp"

namespace tessarim {
namespace {

namespace fs = std::filesystem;
using Maps = std::array<std::string, mapSlotCount>;

struct TextureCommands : testing::ViewFixture {
  Module& hull() { return model.document.module[0]; }
  Module& fin() { return model.document.module[1]; }
  CommandOutcome issue(int number) { return issueCommand(editor, number); }
  std::string host(const std::string& relative) { return (repo.root / relative).string(); }
  std::map<std::string, std::string> snapshot() { return testing::entriesBelow(repo.root); }
};

// Every Assign and Unassign item writes or empties exactly its own slot of the current module;
// each is one step that Undo Edit takes back.
TEST_F(TextureCommands, EachMapItemWritesItsOwnSlotOnly) {
  struct Case {
    int assign, unassign, slot;
    const char* file;
  } cases[] = {
      {cmd::assignBaseMap, cmd::unassignBaseMap, textfile, "hull-base.png"},
      {cmd::assignOverlayMap, cmd::unassignOverlayMap, overlayfile, "hull-overlay.png"},
      {cmd::assignLightMap, cmd::unassignLightMap, lightfile, "hull-light.png"},
      {cmd::assignHeightMap, cmd::unassignHeightMap, heightfile, "hull-height.png"},
      {cmd::assignVisibilityMap, cmd::unassignVisibilityMap, visibilityfile, "hull-visible.png"},
      {cmd::assignReflectivityMap, cmd::unassignReflectivityMap, reflectfile, "hull-reflect.png"},
      {cmd::assignGrimeMap, cmd::unassignGrimeMap, grimefile, "hull-grime.png"},
      {cmd::assignDetailMap, cmd::unassignDetailMap, detailfile, "hull-detail.png"},
      {cmd::assignControlMap, cmd::unassignControlMap, controlfile, "hull-control.png"},
  };
  select(0, 1);
  Maps expected;
  for (const Case& c : cases) {
    model.status.texturesLoaded = true;
    repo.ui.openResults.push_back({host("textures/" + std::string(c.file))});
    ASSERT_EQ(issue(c.assign), CommandOutcome::done) << c.file;
    expected[c.slot] = "textures\\" + std::string(c.file);
    EXPECT_EQ(hull().maps, expected) << c.file;
    EXPECT_EQ(fin().maps, Maps{}) << c.file;
    EXPECT_FALSE(model.status.texturesLoaded) << c.file << ": the new map is loaded";
    EXPECT_EQ(hull().modified, 1) << c.file;
  }
  // Unassigned in reverse, so that the control map still has its detail map.
  for (auto c = std::rbegin(cases); c != std::rend(cases); ++c) {
    model.status.texturesLoaded = true;
    ASSERT_EQ(issue(c->unassign), CommandOutcome::done) << c->file;
    expected[c->slot].clear();
    EXPECT_EQ(hull().maps, expected) << c->file;
    EXPECT_FALSE(model.status.texturesLoaded) << c->file << ": the texture pass drops the map";
  }
  EXPECT_EQ(issue(cmd::unassignBaseMap), CommandOutcome::greyed) << "nothing to unassign";
  EXPECT_EQ(editor.history.size(), 18u);

  ASSERT_EQ(issue(cmd::undoEdit), CommandOutcome::done);
  EXPECT_EQ(hull().maps[textfile], "textures\\hull-base.png");
  EXPECT_EQ(hull().maps[overlayfile], "");
  for (int i = 0; i < 17; ++i) ASSERT_EQ(issue(cmd::undoEdit), CommandOutcome::done);
  EXPECT_EQ(hull().maps, Maps{});
  EXPECT_EQ(model.selection.currentModule, 0);
  EXPECT_EQ(model.selection.currentInstance, 1);
}

// The dialog starts at the slot's own file, else at the first map the module names (visibility
// last), made full from the repository unless absolute.
TEST_F(TextureCommands, AssignStartsWhereTheModulesMapsAre) {
  struct Case {
    int number;
    int emptied;  // the slot emptied before, -1 none
    const char* start;
  } cases[] = {
      {cmd::assignVisibilityMap, -1, "maps/visible.png"},
      {cmd::assignBaseMap, -1, "/maps/light.png"},
      {cmd::assignBaseMap, lightfile, "maps/grime.png"},
      {cmd::assignLightMap, grimefile, "maps/visible.png"},
  };
  hull().maps[lightfile] = "\\maps\\light.png";
  hull().maps[grimefile] = "maps\\grime.png";
  hull().maps[visibilityfile] = "maps\\visible.png";
  select(0, 0);
  for (const Case& c : cases) {
    if (c.emptied >= 0) hull().maps[c.emptied].clear();
    repo.ui.openCalls.clear();
    EXPECT_EQ(issue(c.number), CommandOutcome::refused) << c.start << ": cancelled";
    ASSERT_EQ(repo.ui.openCalls.size(), 1u);
    const auto& call = repo.ui.openCalls[0];
    const std::string expected = c.start[0] == '/' ? c.start : host(c.start);
    EXPECT_EQ(call.startPath, expected);
    EXPECT_EQ(call.filter.description, "Portable Network Graphics (*.png)");
    EXPECT_EQ(call.filter.pattern, "*.PNG");
  }
  // With several instances listed the dialog starts nowhere in particular.
  select(-2, -2);
  model.selection.selectedInstances = {{0, 0}};
  repo.ui.openCalls.clear();
  issue(cmd::assignBaseMap);
  ASSERT_EQ(repo.ui.openCalls.size(), 1u);
  EXPECT_EQ(repo.ui.openCalls[0].startPath, "");
  EXPECT_EQ(editor.history.size(), 0u);
}

TEST_F(TextureCommands, AssignWritesEveryListedModuleInOneStep) {
  select(-2, -2);
  model.selection.selectedInstances = {{0, 0}, {1, 0}, {0, 1}};
  repo.ui.openResults.push_back({host("textures/plate.png")});
  ASSERT_EQ(issue(cmd::assignBaseMap), CommandOutcome::done);
  EXPECT_EQ(hull().maps[textfile], "textures\\plate.png");
  EXPECT_EQ(fin().maps[textfile], "textures\\plate.png");
  EXPECT_EQ(hull().modified + fin().modified, 2);
  EXPECT_TRUE(model.status.documentModified);
  EXPECT_EQ(model.selection.currentModule, -2) << "the selection stays as it was";

  ASSERT_EQ(issue(cmd::undoEdit), CommandOutcome::done);
  EXPECT_EQ(hull().maps[textfile], "");
  EXPECT_EQ(fin().maps[textfile], "");
  EXPECT_FALSE(editor.history.canUndo());
}

TEST_F(TextureCommands, AssignKeepsAnAbsoluteNameAndRefusesWhatItCannotStore) {
  select(1, 0);
  repo.ui.openResults.push_back({"/elsewhere/maps/plate.png"});
  ASSERT_EQ(issue(cmd::assignLightMap), CommandOutcome::done);
  EXPECT_EQ(fin().maps[lightfile], "\\elsewhere\\maps\\plate.png");

  // Cancelled: nothing changes and no step is left.
  EXPECT_EQ(issue(cmd::assignBaseMap), CommandOutcome::refused);
  const std::string longName = "textures/" + std::string(260, 'x') + ".png";
  repo.ui.openResults.push_back({host(longName)});
  EXPECT_EQ(issue(cmd::assignBaseMap), CommandOutcome::refused);
  EXPECT_EQ(fin().maps[textfile], "");
  EXPECT_EQ(editor.history.size(), 1u);
  ASSERT_EQ(repo.ui.boxes.size(), 1u);
  EXPECT_EQ(repo.ui.boxes[0].text,
            "This file name is longer than 259 characters and cannot be kept in a mesh:\n\n"
            "textures\\" +
                std::string(260, 'x') + ".png");
  EXPECT_EQ(repo.ui.boxes[0].caption, "Texture map notification!");
}

TEST_F(TextureCommands, HideTextureAndClearAllAreEditsOfTheCurrentModule) {
  hull().maps = {"b.png", "o.png", "l.png", "h.png", "v.png", "r.png", "g.png", "d.png", "c.png"};
  const Maps before = hull().maps;
  select(0, 0);
  ASSERT_EQ(issue(cmd::hideBaseMap), CommandOutcome::done);
  EXPECT_EQ(hull().baseHidden, 1);
  EXPECT_EQ(hull().modified, 1);
  ASSERT_EQ(issue(cmd::hideBaseMap), CommandOutcome::done);
  EXPECT_EQ(hull().baseHidden, 0);

  model.status.texturesLoaded = true;
  ASSERT_EQ(issue(cmd::clearAllTextures), CommandOutcome::done);
  EXPECT_EQ(hull().maps, Maps{});
  EXPECT_FALSE(model.status.texturesLoaded);
  EXPECT_EQ(issue(cmd::hideBaseMap), CommandOutcome::greyed);

  ASSERT_EQ(issue(cmd::undoEdit), CommandOutcome::done);
  EXPECT_EQ(hull().maps, before);
  ASSERT_EQ(issue(cmd::undoEdit), CommandOutcome::done);
  EXPECT_EQ(hull().baseHidden, 1);

  // Clear All is enabled with nothing current, and then does nothing.
  select(-1, -1);
  EXPECT_EQ(issue(cmd::clearAllTextures), CommandOutcome::refused);
  EXPECT_EQ(hull().maps, before);
}

TEST(MapSetStem, DropsTheBaseSuffixByItsLastCharacter) {
  struct Case {
    const char* name;
    const char* stem;
  } cases[] = {
      {"textures\\hull-base.png", "textures\\hull"},
      {"textures\\hull.png", "textures"},          // any of the suffix's letters last: less nine
      {"textures\\hull-base.PNG", "textures\\h"},  // the last such letter is the "."
      {"base.png", "base.png"},                    // too short to lose nine
      {"xyz", "xyz"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(mapSetStem(c.name), c.stem) << c.name;
}

TEST_F(TextureCommands, AutoAssignFillsOnlyEmptySlotsWithFilesThatExist) {
  repo.write("textures/hull-light.png", "x");
  repo.write("textures/hull-grime.png", "x");
  hull().maps[textfile] = "textures\\hull-base.png";
  hull().maps[lightfile] = "textures\\other.png";
  select(0, 0);
  model.status.texturesLoaded = true;
  ASSERT_EQ(issue(cmd::autoAssignTextures), CommandOutcome::done);
  Maps expected;
  expected[textfile] = "textures\\hull-base.png";
  expected[lightfile] = "textures\\other.png";
  expected[grimefile] = "textures\\hull-grime.png";
  EXPECT_EQ(hull().maps, expected);
  EXPECT_FALSE(model.status.texturesLoaded);
  EXPECT_EQ(hull().modified, 1);

  // The whole set, the control map too; the base slot and filled slots stay.
  for (const char* suffix :
       {"overlay", "height", "reflect", "visible", "detail", "control", "base", "light"})
    repo.write("textures/hull-" + std::string(suffix) + ".png", "x");
  ASSERT_EQ(issue(cmd::autoAssignTextures), CommandOutcome::done);
  expected = {
      "textures\\hull-base.png",   "textures\\hull-overlay.png", "textures\\other.png",
      "textures\\hull-height.png", "textures\\hull-visible.png", "textures\\hull-reflect.png",
      "textures\\hull-grime.png",  "textures\\hull-detail.png",  "textures\\hull-control.png"};
  EXPECT_EQ(hull().maps, expected);
  ASSERT_EQ(issue(cmd::undoEdit), CommandOutcome::done);
  EXPECT_EQ(hull().maps[overlayfile], "");
  EXPECT_EQ(hull().maps[grimefile], "textures\\hull-grime.png");

  // Nothing to fill: no step.
  const std::size_t steps = editor.history.size();
  fin().maps[textfile] = "textures\\fin-base.png";
  select(1, 0);
  ASSERT_EQ(issue(cmd::autoAssignTextures), CommandOutcome::done);
  EXPECT_EQ(fin().maps[overlayfile], "");
  EXPECT_EQ(fin().modified, 0);
  EXPECT_EQ(editor.history.size(), steps);
}

// A catalogue as the match writes it: the count, then each record's name and light flag.
struct Record {
  std::string name;
  bool light;
};
std::string catalogueBytes(const std::vector<Record>& records) {
  std::string bytes((records.size() + 1) * 400, '\0');
  bytes[0] = static_cast<char>(records.size() & 0xFF);
  bytes[1] = static_cast<char>(records.size() >> 8);
  for (std::size_t k = 1; k <= records.size(); ++k) {
    std::memcpy(&bytes[k * 400], records[k - 1].name.data(), records[k - 1].name.size());
    bytes[k * 400 + 399] = records[k - 1].light ? 1 : 0;
  }
  return bytes;
}

TEST_F(TextureCommands, MatchNumbersBaseMapsByTheCatalogueAndWritesItsListing) {
  repo.write("buildings.dat", catalogueBytes({{"A\\B\\WALL.DDS", false}}));
  hull().maps[textfile] = "textures\\hangar.png";
  hull().maps[lightfile] = "textures\\hangar-light.png";
  fin().maps[textfile] = "a\\b\\wall.png";
  select(-1, -1);
  ASSERT_EQ(issue(cmd::matchCityBuildings), CommandOutcome::done);
  EXPECT_EQ(fin().sortKey, 1) << "extension and letter case are not compared";
  EXPECT_EQ(hull().sortKey, 2);
  EXPECT_EQ(hull().modified + fin().modified, 2);
  const std::string catalogue =
      catalogueBytes({{"A\\B\\WALL.DDS", false}, {"textures\\hangar.png", true}});
  EXPECT_EQ(repo.read("buildings.dat"), catalogue);
  EXPECT_EQ(repo.read("buildings.txt"),
            "\t\tcase 1: wcscpy_s(hullfile, 199, L\"textures\\\\Cities\\\\WALL.dds\");\r\n"
            "\t\t\tbreak;\r\n"
            "\t\tcase 2: wcscpy_s(hullfile, 199, L\"textures\\\\Cities\\\\hangar.dds\");\r\n"
            "\t\t\twcscpy_s(lightfile, 199, L\"textures\\\\cities\\\\hangarLIGHT.dds\");\r\n"
            "\t\t\tbreak;\r\n");

  // Again: nothing new to number, no step, the same files.
  const std::size_t steps = editor.history.size();
  ASSERT_EQ(issue(cmd::matchCityBuildings), CommandOutcome::done);
  EXPECT_EQ(editor.history.size(), steps);
  EXPECT_EQ(repo.read("buildings.dat"), catalogue);

  // Undo Edit takes the keys back, not the files.
  ASSERT_EQ(issue(cmd::undoEdit), CommandOutcome::done);
  EXPECT_EQ(fin().sortKey, 0);
  EXPECT_EQ(hull().sortKey, 0);
  EXPECT_EQ(repo.read("buildings.dat"), catalogue);
  EXPECT_TRUE(repo.ui.boxes.empty());
}

TEST_F(TextureCommands, InteriorsAreNumberedAnewAndNoMeshIsModified) {
  repo.write("interiors.dat", catalogueBytes({{"old\\seat.png", false}, {"old\\desk.png", true}}));
  model.document.wldfiles = 3;
  model.document.module[2].filename = "meshes\\cabin.wld";
  model.document.module[2].instances.resize(1);
  const char* bases[] = {"cabin\\wall.png", "cabin\\floor.png", "cabin\\seat.png"};
  for (int m = 0; m < 3; ++m) model.document.module[m].maps[textfile] = bases[m];
  select(-1, -1);
  ASSERT_EQ(issue(cmd::matchInteriors), CommandOutcome::done);
  for (int m = 0; m < 3; ++m) {
    EXPECT_EQ(model.document.module[m].sortKey, m + 1) << m;
    EXPECT_EQ(model.document.module[m].modified, 0) << m;
  }
  EXPECT_FALSE(model.status.documentModified);
  EXPECT_EQ(repo.read("interiors.dat"),
            catalogueBytes({{bases[0], false}, {bases[1], false}, {bases[2], false}}));
  ASSERT_EQ(issue(cmd::undoEdit), CommandOutcome::done);
  EXPECT_EQ(model.document.module[2].sortKey, 0);
}

TEST_F(TextureCommands, MatchLeavesOutOptedOutModulesAndAGroundGrid) {
  hull().sortKey = 7;
  hull().maps[textfile] = "textures\\hull.png";
  hull().instances[1].group = 997;
  fin().sortKey = 5;
  select(-1, -1);
  ASSERT_EQ(issue(cmd::matchShipsAndVehicles), CommandOutcome::done);
  EXPECT_EQ(hull().sortKey, 7);
  EXPECT_EQ(fin().sortKey, -1) << "no base map";
  EXPECT_EQ(fin().modified, 0);
  EXPECT_EQ(repo.read("ships.dat"), catalogueBytes({}));
  EXPECT_EQ(repo.read("ships.txt"), "");

  // In a city the last module is the ground grid.
  model.document.kind = DocumentKind::ctyfile;
  hull().instances[1].group = 0;
  fin().maps[textfile] = "ground\\grid.png";
  ASSERT_EQ(issue(cmd::matchOrbitalFacilities), CommandOutcome::done);
  EXPECT_EQ(hull().sortKey, 1);
  EXPECT_EQ(fin().sortKey, -1);
  EXPECT_EQ(repo.read("docks.dat"), catalogueBytes({{"textures\\hull.png", false}}));
}

TEST(MatchCatalogue, RecordsFromTenOnIndentTheirLinesAndLongPrefixesAreDropped) {
  std::vector<Record> records;
  for (int k = 1; k <= 12; ++k) records.push_back({"t\\r" + std::to_string(k) + ".png", false});
  records[8].light = records[11].light = true;  // records 9 and 12
  // A record filed under a long leading folder still matches the module's own name.
  records[10].name = "\\I" + std::string(90, 'p') + "ships\\hull.png";
  Model model;
  model.document.kind = DocumentKind::asmfile;
  model.document.wldfiles = 1;
  model.document.module[0].maps[textfile] = "SHIPS\\HULL.tga";
  const CatalogueMatch match =
      matchCatalogue(model, MatchCatalogue::ships, catalogueBytes(records));
  ASSERT_EQ(match.keys.size(), 1u);
  EXPECT_EQ(match.keys[0].module, 0);
  EXPECT_EQ(match.keys[0].sortKey, 11);
  EXPECT_EQ(match.catalogue, catalogueBytes(records));
  const std::string nine =
      "\t\tcase 9: wcscpy_s(hullfile, 199, L\"textures\\\\Ships\\\\r9.dds\");\r\n"
      "\t\t\twcscpy_s(lightfile, 199, L\"textures\\\\Ships\\\\r9LIGHT.dds\");\r\n"
      "\t\t\tbreak;\r\n";
  const std::string twelve =
      "\t\tcase 12: wcscpy_s(hullfile, 199, L\"textures\\\\Ships\\\\r12.dds\");\r\n"
      "\t\t\t wcscpy_s(lightfile, 199, L\"textures\\\\Ships\\\\r12LIGHT.dds\");\r\n"
      "\t\t\t break;\r\n";
  EXPECT_NE(match.listing.find(nine), std::string::npos) << match.listing;
  EXPECT_TRUE(match.listing.ends_with(twelve)) << match.listing;
}

// Bytes whose size does not fit the count in their header are no catalogue: they are refused,
// never read as records, and the match makes nothing of them.
TEST(MatchCatalogue, BytesThatDoNotFitTheirRecordCountAreRefused) {
  Model model;
  model.document.kind = DocumentKind::asmfile;
  model.document.wldfiles = 1;
  model.document.module[0].maps[textfile] = "ships\\hull.png";
  const std::string two = catalogueBytes({{"a.png", false}, {"b.png", false}});
  const struct {
    std::string bytes;
    std::string refusal;
  } cases[] = {
      {"ou", "Not a catalogue: the file holds only 2 of its header's 400 bytes"},
      {std::string(399, '\0'),
       "Not a catalogue: the file holds only 399 of its header's 400 bytes"},
      {std::string("\xFF\xFF") + std::string(398, '\0'),
       "Not a catalogue: its header counts -1 records"},
      {std::string("\x03\x00", 2) + two.substr(2),
       "Not a catalogue: its header counts 3 records, but the file holds 2"},
      {std::string("\x01\x00", 2) + two.substr(2),
       "Not a catalogue: its header counts 1 records, but the file holds 2"},
      {two + std::string(17, 'x'),
       "Not a catalogue: its header counts 2 records, but the file holds 2 and 17 bytes more"},
  };
  for (const auto& c : cases) {
    const CatalogueMatch match = matchCatalogue(model, MatchCatalogue::docks, c.bytes);
    EXPECT_EQ(match.refusal, c.refusal) << c.refusal;
    EXPECT_TRUE(match.catalogue.empty() && match.listing.empty() && match.keys.empty())
        << c.refusal;
  }
  const CatalogueMatch fits = matchCatalogue(model, MatchCatalogue::docks, two);
  EXPECT_EQ(fits.refusal, "");
  EXPECT_EQ(fits.catalogue,
            catalogueBytes({{"a.png", false}, {"b.png", false}, {"ships\\hull.png", false}}));
}

// A name ends at a zero byte, as in the record the file holds: the next match finds that record
// instead of adding another one each time.
TEST(MatchCatalogue, ANameEndsWhereTheFileWouldEndIt) {
  Model model;
  model.document.kind = DocumentKind::asmfile;
  model.document.wldfiles = 2;
  model.document.module[0].maps[textfile] = std::string("t\\deck.png\0junk", 16);
  model.document.module[1].maps[textfile] = "T\\DECK.PNG";
  const CatalogueMatch first = matchCatalogue(model, MatchCatalogue::docks, catalogueBytes({}));
  EXPECT_EQ(first.catalogue, catalogueBytes({{"t\\deck.png", false}}));
  ASSERT_EQ(first.keys.size(), 2u);
  EXPECT_EQ(first.keys[1].sortKey, 1) << "the second module finds the first one's record";
  EXPECT_EQ(matchCatalogue(model, MatchCatalogue::docks, first.catalogue).catalogue,
            first.catalogue);
}

// Catalogue and listing are replaced together: when the listing cannot be written the catalogue
// keeps its old bytes, the modules their keys, and the user reads why.
TEST_F(TextureCommands, AMatchThatCannotWriteItsListingChangesNothing) {
  const struct {
    int number;
    const char* listing;
    bool readOnly;       // the listing a file this user may not write, else a folder in its place
    const char* reason;  // the system's text
  } cases[] = {
      {cmd::matchCityBuildings, "buildings.txt", false, "Is a directory"},
      {cmd::matchInteriors, "interiors.txt", false, "Is a directory"},
      {cmd::matchCityBuildings, "buildings.txt", true, "Permission denied"},
  };
  hull().maps[textfile] = "textures\\hangar.png";
  select(-1, -1);
  for (const auto& c : cases) {
    repo.write("buildings.dat", catalogueBytes({{"textures\\shed.png", true}}));
    repo.write("interiors.dat", catalogueBytes({{"textures\\shed.png", true}}));
    if (c.readOnly) {
      repo.write(c.listing, "old listing");
      fs::permissions(repo.root / c.listing, fs::perms::owner_read | fs::perms::group_read);
    } else {
      fs::create_directories(repo.root / c.listing / "inside");
    }
    const auto before = snapshot();
    repo.ui.boxes.clear();
    EXPECT_EQ(issue(c.number), CommandOutcome::refused) << c.listing;
    EXPECT_EQ(snapshot(), before) << c.listing << ": no file changed, no temporary left";
    EXPECT_EQ(hull().sortKey, 0) << c.listing;
    EXPECT_EQ(hull().modified, 0) << c.listing;
    EXPECT_EQ(editor.history.size(), 0u) << c.listing;
    ASSERT_EQ(repo.ui.boxes.size(), 1u) << c.listing;
    EXPECT_EQ(repo.ui.boxes[0].text,
              "Could not create load match file " + host(c.listing) + "...\n\n" + c.reason);
    EXPECT_EQ(repo.ui.boxes[0].caption, "Match Bitmaps");
    EXPECT_EQ(repo.ui.boxes[0].icon, MessageIcon::error);
    fs::remove_all(repo.root / c.listing);
  }

  // A catalogue that cannot be read stops the match before anything is written.
  fs::remove(repo.root / "buildings.dat");
  fs::create_directories(repo.root / "buildings.dat");
  repo.ui.boxes.clear();
  EXPECT_EQ(issue(cmd::matchCityBuildings), CommandOutcome::refused);
  EXPECT_FALSE(fs::exists(repo.root / "buildings.txt"));
  ASSERT_EQ(repo.ui.boxes.size(), 1u);
  EXPECT_EQ(repo.ui.boxes[0].text,
            "Could not create load match file " + host("buildings.dat") + "...\n\nIs a directory");
}

// A match writes only regular files inside the repository folder, over a catalogue it can read: a
// link leading out, a pipe or a device node in a file's place, or a catalogue whose size does not
// fit its count stops it before anything is written. Catalogue, listing, the file outside and the
// modules' keys stay as they were, and the write log says that neither file was written.
TEST_F(TextureCommands, AMatchWritesOnlyRegularFilesInsideTheRepository) {
  testing::TempRepo outside;  // the test's own folder beside the repository
  enum Kind { linkOut, pipe, device, bytes, huge };
  std::string fewer = catalogueBytes({{"textures\\shed.png", false}, {"textures\\barn.png", true}});
  fewer[0] = 3;
  const struct {
    int number;
    const char* file;  // what the row puts in place: a catalogue or a listing
    Kind kind;
    std::string content;
    const char* reason;
  } cases[] = {
      {cmd::matchCityBuildings, "buildings.dat", linkOut, "",
       "Link leading out of the repository folder"},
      {cmd::matchCityBuildings, "buildings.txt", linkOut, "",
       "Link leading out of the repository folder"},
      {cmd::matchInteriors, "interiors.dat", linkOut, "",
       "Link leading out of the repository folder"},
      {cmd::matchCityBuildings, "buildings.dat", pipe, "", "Not a regular file"},
      {cmd::matchInteriors, "interiors.dat", pipe, "", "Not a regular file"},
      {cmd::matchOrbitalFacilities, "docks.txt", pipe, "", "Not a regular file"},
      {cmd::matchShipsAndVehicles, "ships.dat", device, "", "Not a regular file"},
      {cmd::matchCityBuildings, "buildings.dat", bytes, "ou",
       "Not a catalogue: the file holds only 2 of its header's 400 bytes"},
      {cmd::matchCityBuildings, "buildings.dat", bytes, "", "Not a catalogue: the file is empty"},
      {cmd::matchInteriors, "interiors.dat", bytes, "ou",
       "Not a catalogue: the file holds only 2 of its header's 400 bytes"},
      {cmd::matchShipsAndVehicles, "ships.dat", bytes, fewer,
       "Not a catalogue: its header counts 3 records, but the file holds 2"},
      {cmd::matchShipsAndVehicles, "ships.dat", huge, "",
       "Not a catalogue: its header counts 0 records, but the file holds 49999"},
  };
  hull().maps[textfile] = "textures\\hangar.png";
  select(-1, -1);
  const WriteLog& log = editor.session.writes;
  for (const auto& c : cases) {
    for (const fs::path& folder : {repo.root, outside.root}) {
      for (const auto& entry : fs::directory_iterator(folder)) fs::remove_all(entry.path());
    }
    const std::string file = c.file;
    const std::string stem = file.substr(0, file.size() - 4);
    const fs::path place = repo.root / file;
    // The other file of the pair is there too, and must stay as it is.
    if (file.ends_with(".txt")) {
      repo.write(stem + ".dat", catalogueBytes({{"textures\\shed.png", false}}));
    } else {
      repo.write(stem + ".txt", "old listing");
    }
    switch (c.kind) {
      case linkOut:
        outside.write(file, "twelve bytes");
        fs::create_symlink(outside.root / file, place);
        break;
      case pipe:
        ASSERT_EQ(::mkfifo(place.c_str(), 0644), 0);
        break;
      case device:
        // A node like the system's null device; making one needs the privilege to.
        if (::mknod(place.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) continue;
        break;
      case bytes:
        repo.write(file, c.content);
        break;
      case huge:  // larger than any catalogue, and sparse
        repo.write(file, "");
        fs::resize_file(place, 20'000'000);
        break;
    }
    const auto before = snapshot();
    const auto outsideBefore = testing::entriesBelow(outside.root);
    repo.ui.boxes.clear();
    editor.session.writes = {};

    testing::FifoWatchdog watchdog{place};
    EXPECT_EQ(issue(c.number), CommandOutcome::refused) << file << " " << c.reason;
    EXPECT_FALSE(watchdog.fired()) << file << ": the match waited on the pipe";
    EXPECT_EQ(snapshot(), before) << file << ": nothing created, replaced or left behind";
    EXPECT_EQ(testing::entriesBelow(outside.root), outsideBefore) << file;
    EXPECT_EQ(hull().sortKey, 0) << file;
    EXPECT_EQ(hull().modified, 0) << file;
    EXPECT_EQ(editor.history.size(), 0u) << file;
    ASSERT_EQ(repo.ui.boxes.size(), 1u) << file;
    EXPECT_EQ(repo.ui.boxes[0].text,
              "Could not create load match file " + host(file) + "...\n\n" + c.reason);
    EXPECT_EQ(repo.ui.boxes[0].caption, "Match Bitmaps");
    EXPECT_EQ(log.written, std::vector<std::string>{}) << file;
    EXPECT_EQ(log.failed, (std::vector<std::string>{host(stem + ".dat"), host(stem + ".txt")}))
        << file;
  }

  // A link that stays inside the repository folder is written through, and the log says so.
  for (const auto& entry : fs::directory_iterator(repo.root)) fs::remove_all(entry.path());
  repo.write("kept/buildings.dat", catalogueBytes({}));
  fs::create_symlink(repo.root / "kept/buildings.dat", repo.root / "buildings.dat");
  editor.session.writes = {};
  ASSERT_EQ(issue(cmd::matchCityBuildings), CommandOutcome::done);
  EXPECT_TRUE(fs::is_symlink(repo.root / "buildings.dat"));
  EXPECT_EQ(repo.read("kept/buildings.dat"), catalogueBytes({{"textures\\hangar.png", false}}));
  EXPECT_EQ(hull().sortKey, 1);
  EXPECT_EQ(log.written, (std::vector<std::string>{host("buildings.dat"), host("buildings.txt")}));
  EXPECT_EQ(log.failed, std::vector<std::string>{});
}

TEST_F(TextureCommands, FlipMirrorsTexelSetZeroOfEveryModule) {
  hull().polygons[0].texels = {Texel{0.25f, 0.1f}, {0.5f, 0.75f}, {1, 1}, {0, 0}};
  hull().polygons[0].texels2 = {Texel{0.3f, 0.3f}, {0.3f, 0.3f}, {0.3f, 0.3f}, {0.3f, 0.3f}};
  fin().polygons[0].sides = 3;
  fin().polygons[0].texels[3] = {0.5f, 0.2f};  // not a corner of the triangle
  const Module hullBefore = hull(), finBefore = fin();
  select(-1, -1);
  model.status.geometryDirty = false;
  ASSERT_EQ(issue(cmd::flipTexture), CommandOutcome::done);
  EXPECT_FLOAT_EQ(hull().polygons[0].texels[0].v, 0.9f);
  EXPECT_EQ(hull().polygons[0].texels[1].v, 0.25f);
  EXPECT_EQ(hull().polygons[0].texels[3].v, 1.0f);
  EXPECT_EQ(hull().polygons[0].texels[0].u, 0.25f);
  EXPECT_EQ(hull().polygons[0].texels2[0].v, 0.3f);
  EXPECT_EQ(fin().polygons[0].texels[0].v, 1.0f);
  EXPECT_EQ(fin().polygons[0].texels[3].v, 0.2f);
  EXPECT_EQ(hull().modified + fin().modified, 2);
  EXPECT_TRUE(model.status.geometryDirty);

  ASSERT_EQ(issue(cmd::flipTexture), CommandOutcome::done);
  EXPECT_FLOAT_EQ(hull().polygons[0].texels[0].v, 0.1f);
  EXPECT_EQ(hull().polygons[0].texels[1].v, 0.75f);
  ASSERT_EQ(issue(cmd::undoEdit), CommandOutcome::done);
  ASSERT_EQ(issue(cmd::undoEdit), CommandOutcome::done);
  EXPECT_EQ(hull().polygons[0].texels[0].v, hullBefore.polygons[0].texels[0].v);
  EXPECT_EQ(fin().polygons[0].texels[0].v, finBefore.polygons[0].texels[0].v);

  select(0, 0);
  EXPECT_EQ(issue(cmd::flipTexture), CommandOutcome::greyed);
}

TEST_F(TextureCommands, CanvasColourGoesToTheSettingsAsArgb) {
  editor.frame.canvasColour = {0.5f, 1.0f, 0.0f, 0.0f};
  model.status.geometryDirty = false;
  repo.ui.colourResults = {0x000000FFu, std::nullopt};
  ASSERT_EQ(issue(cmd::canvasColor), CommandOutcome::done);
  ASSERT_EQ(repo.ui.colourCalls.size(), 1u);
  EXPECT_EQ(repo.ui.colourCalls[0].initial, 0x0000FF7Fu) << "x 255, truncated, as 0x00BBGGRR";
  EXPECT_EQ(editor.frame.canvasColour, (std::array<float, 4>{1, 0, 0, 1}));
  const auto stored = repo.store.values.find(std::string(mainKey) + "/Canvas Color");
  ASSERT_NE(stored, repo.store.values.end());
  EXPECT_EQ(stored->second.number, 0xFFFF0000u);
  // The next frame builds the texel view's canvas in the new colour.
  model.settings.view.texelView = true;
  select(0, 0);
  frame();
  ASSERT_TRUE(editor.scene.hasCanvasQuad);
  EXPECT_EQ(editor.scene.canvasQuad[0].colour, 0xFFFF0000u);

  // Cancelled: the colour stays.
  repo.store.values.clear();
  EXPECT_EQ(issue(cmd::canvasColor), CommandOutcome::refused);
  EXPECT_EQ(editor.frame.canvasColour, (std::array<float, 4>{1, 0, 0, 1}));
  EXPECT_TRUE(repo.store.values.find(std::string(mainKey) + "/Canvas Color") ==
              repo.store.values.end());
  EXPECT_FALSE(editor.history.canUndo()) << "the canvas colour is not part of the document";
}

// Auto Assign needs nobody at the window: the batch front end writes the mesh with its set.
TEST(TextureApply, AutoAssignWritesTheMapSetIntoTheMesh) {
  testing::TempRepo repo;
  Module mesh;
  mesh.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
  Polygon& p = mesh.polygons.emplace_back();
  p.sides = 3;
  p.vertexIndex = {0, 1, 2, 0};
  p.colour = {1, 1, 1, 1};
  p.texelAngle = p.texelAngle2 = -1;
  mesh.canvasWidth = mesh.canvasHeight = mesh.canvasWidth2 = mesh.canvasHeight2 = 2048;
  mesh.scaleClass = 1;
  mesh.maps[textfile] = "textures\\hull-base.png";
  repo.write("meshes/hull.wld", formatWld(mesh));
  repo.write("textures/hull-light.png", "x");
  repo.write("textures/hull-control.png", "x");
  const testing::CliRun r =
      testing::runCliWith({"--repo", repo.root.string(), "apply",
                           (repo.root / "meshes/hull.wld").string(), "Auto Assign", "--save"});
  ASSERT_EQ(r.status, 0) << r.err;
  mesh.maps[lightfile] = "textures\\hull-light.png";
  mesh.maps[controlfile] = "textures\\hull-control.png";
  EXPECT_EQ(repo.read("meshes/hull.wld"), formatWld(mesh));
}

}  // namespace
}  // namespace tessarim
