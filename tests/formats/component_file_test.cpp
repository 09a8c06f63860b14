#include "formats/component_file.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <system_error>

#include "formats/assembly.hpp"
#include "formats/guid_text.hpp"
#include "support/temp_repo.hpp"

namespace tessarim {
namespace {

using testing::ScriptedUi;
using testing::TempRepo;

Guid guid(std::string_view text) {
  TextScanner in{text};
  return readGuid(in).value();
}

// One text per GUID, so a test can break exactly one of them.
constexpr const char* connectorGuid = "0000C001-0001-0002-0304-05060708090A";
constexpr const char* connectorDependency = "0000D001-0001-0002-0304-05060708090A";
constexpr const char* pumpGuid = "0000A001-0001-0002-0304-05060708090A";
constexpr const char* pumpAttachment = "0000B001-0001-0002-0304-05060708090A";
constexpr const char* loopGuids[] = {"00001001-0001-0002-0304-05060708090A",
                                     "00001002-0001-0002-0304-05060708090A",
                                     "00001003-0001-0002-0304-05060708090A"};
constexpr const char* orphanGuid = "0000A002-0001-0002-0304-05060708090A";
constexpr const char* orphanAttachment = "0000B002-0001-0002-0304-05060708090A";

// A component module with one placed instance, a connector, the component of that instance and
// a component whose instance is not loaded.
void fillSample(Model& model) {
  model.document.wldfiles = 2;
  model.document.module[0].filename = "hull.wld";
  model.document.module[0].instances.push_back(Instance{});
  Module& pump = model.document.module[1];
  pump.filename = "pump.wld";
  pump.componentType = 3;
  pump.component.kind = 2;
  pump.component.serviceLife = 100;
  pump.component.cycleHit = 5;
  pump.component.hitPointsPhysical = 10;
  pump.component.hitPointsEnergy = 20;
  pump.component.weight = 1;
  pump.component.cost = 2;
  pump.component.pickup = 3;
  pump.component.dropout = 4;
  pump.component.maxPressure = 5;
  pump.component.loadDraw = 6;
  pump.component.minTemperature = 7;
  pump.component.maxTemperature = 8;
  pump.component.maxCapacity = 9;
  pump.component.make = "Acme";
  pump.component.descriptor = "Fuel pump";
  Instance at;
  at.guid = guid(pumpGuid);
  at.location = {1.5f, -2, 0.25f};
  pump.instances.push_back(at);

  Connector c;
  c.guid = guid(connectorGuid);
  c.dependency = guid(connectorDependency);
  c.farEnd = {1.5f, 2, -3.25f};
  c.nearEnd = {4, 5, 6};
  c.system = 7;
  c.values = {0.1f, 0.2f, 0.3f, 0.4f};
  c.value = 9;
  model.document.connectors = {c};

  Component k;
  k.guid = guid(pumpGuid);
  k.attachment = guid(pumpAttachment);
  k.name = "Pump, aft, port";
  k.setState = 0.5f;
  k.values = {1, 2, 3, 4, 5, 6, 7};
  k.value = 11;
  k.dependencies.resize(2);
  k.dependencies[0].first = 4;
  k.dependencies[0].second = 5;
  k.dependencies[0].flag = 1;
  for (const char* g : loopGuids) k.dependencies[1].loop.push_back(guid(g));
  Component orphan;
  orphan.guid = guid(orphanGuid);
  orphan.attachment = guid(orphanAttachment);
  model.document.components = {k, orphan};
}

// The sample as a text-mode read gives it.
std::string sampleText() {
  Model model;
  fillSample(model);
  std::string text = formatComponents(model);
  std::erase(text, '\r');
  return text;
}

struct Parsed {
  ComponentParseResult result;
  std::vector<Connector> connectors;
  std::vector<Component> components;
  bool modified = false;
  ScriptedUi ui;
  std::string endsEarly;
};

std::unique_ptr<Parsed> parse(std::string_view text) {
  auto p = std::make_unique<Parsed>();
  p->result = parseComponents(text, p->connectors, p->components, p->modified, p->ui, "Tug.cmp",
                              &p->endsEarly);
  return p;
}

// The message a file that ends early is reported with.
std::string cutShort(std::string_view detail, std::string_view path = "Tug.cmp") {
  return "This file " + std::string{detail} + "...\n\n" + std::string{path} +
         "\n\nOnly what it holds was read.";
}

TEST(ComponentFile, PathReplacesTheAssemblyExtension) {
  EXPECT_EQ(componentPath("ships\\Tug.ASM"), "ships\\Tug.cmp");
  EXPECT_EQ(componentPath("a.asm"), "a.cmp");
}

TEST(ComponentFile, WritesVersion106ByteForByte) {
  Model model;
  fillSample(model);
  const std::string zeros = "0.000000 ,";
  EXPECT_EQ(
      formatComponents(model),
      " 1.06 ,\r\n"
      " 1 ,\r\n"
      "0000C001-0001-0002-0304-05060708090A ,0000D001-0001-0002-0304-05060708090A ,"
      "1.500000 ,2.000000 ,-3.250000 ,4.000000 ,5.000000 ,6.000000 ,7 ,"
      "0.100000 ,0.200000 ,0.300000 ,0.400000 ,9 ,\r\n"
      " 2 ,\r\n"
      "2 ,3 ,1.500000 ,-2.000000 ,0.250000 ,100.000000, 5.000000, 10, 20 ,1.000000 ,2.000000 ,"
      "3.000000 ,4.000000 ,5.000000 ,6.000000 ,7.000000 ,8.000000 ,9.000000 ,\r\n"
      "Acme\r\nunused\r\nFuel pump\r\n"
      "0000A001-0001-0002-0304-05060708090A ,0000B001-0001-0002-0304-05060708090A ,"
      "Pump, aft, port\r\n"
      "0.500000 ,1.000000 ,2.000000 ,3.000000, 4.000000, 5.000000, 6.000000, 7.000000 ,11 ,\r\n"
      "  2 ,\r\n"
      "   0 ,5 ,4 ,1 ,\r\n"
      "   3 ,-1 ,-1 ,0 ,\r\n"
      "    00001001-0001-0002-0304-05060708090A ,\r\n"
      "    00001002-0001-0002-0304-05060708090A ,\r\n"
      "    00001003-0001-0002-0304-05060708090A ,\r\n"
      // The orphan's instance is not loaded: zeros for everything copied from it.
      "0 ,0 ,0.000000 ,0.000000 ,0.000000 ,0.000000, 0.000000, 0, 0 ," +
          zeros + zeros + zeros + zeros + zeros + zeros + zeros + zeros + zeros +
          "\r\n"
          "unused\r\nunused\r\nunused\r\n"
          "0000A002-0001-0002-0304-05060708090A ,0000B002-0001-0002-0304-05060708090A ,\r\n"
          "0.000000 ,0.000000 ,0.000000 ,0.000000, 0.000000, 0.000000, 0.000000, 0.000000 ,"
          "0 ,\r\n"
          "  0 ,\r\n");
}

TEST(ComponentFile, ReadsEveryFieldOfVersion106) {
  auto p = parse(sampleText());
  ASSERT_EQ(p->result, ComponentParseResult::ok);
  EXPECT_TRUE(p->ui.boxes.empty());
  EXPECT_FALSE(p->modified);

  Model expected;
  fillSample(expected);
  ASSERT_EQ(p->connectors.size(), 1u);
  const Connector& c = p->connectors[0];
  EXPECT_EQ(c.guid, expected.document.connectors[0].guid);
  EXPECT_EQ(c.dependency, expected.document.connectors[0].dependency);
  EXPECT_EQ(c.farEnd, expected.document.connectors[0].farEnd);
  EXPECT_EQ(c.nearEnd, expected.document.connectors[0].nearEnd);
  EXPECT_EQ(c.system, 7);
  EXPECT_EQ(c.values, expected.document.connectors[0].values);
  EXPECT_EQ(c.value, 9);

  ASSERT_EQ(p->components.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    const Component& k = p->components[i];
    const Component& e = expected.document.components[i];
    EXPECT_EQ(k.guid, e.guid);
    EXPECT_EQ(k.attachment, e.attachment);
    EXPECT_EQ(k.name, e.name);  // commas kept; the orphan's empty line gives an empty name
    EXPECT_EQ(k.setState, e.setState);
    EXPECT_EQ(k.values, e.values);
    EXPECT_EQ(k.value, e.value);
    ASSERT_EQ(k.dependencies.size(), e.dependencies.size());
    for (std::size_t j = 0; j < k.dependencies.size(); ++j) {
      EXPECT_EQ(k.dependencies[j].first, e.dependencies[j].first);
      EXPECT_EQ(k.dependencies[j].second, e.dependencies[j].second);
      EXPECT_EQ(k.dependencies[j].flag, e.dependencies[j].flag);
      EXPECT_EQ(k.dependencies[j].loop, e.dependencies[j].loop);
    }
  }
}

struct VersionCase {
  const char* version;
  std::array<float, 3> farEnd;
  std::array<float, 3> nearEnd;
  std::array<float, 4> connectorValues;
  std::array<float, 7> componentValues;
  bool modified;
};

// One connector and one component in the layout of the given version: 1.04 lacks the second
// connector value, the fourth component value and three numbers of the skipped copy line.
std::string versionText(std::string_view version) {
  const bool v104 = version == "1.04";
  std::string t = std::string{" "} + std::string{version} + " ,\n 1 ,\n" + connectorGuid + " ," +
                  connectorDependency + " ,1000.000000 ,-2000.000000 ,500.000000 ,250.000000 ," +
                  "0.000000 ,-125.000000 ,7 ," +
                  (v104 ? "0.1 ,0.3 ,0.4 ," : "0.1 ,0.2 ,0.3 ,0.4 ,") + "9 ,\n 1 ,\n" +
                  "2 ,3 ,1 ,2 ,3 ,100, 5, 10, 20 ,1 ,2 ,3 ,4 ,5 ,6 ," + (v104 ? "" : "7 ,8 ,9 ,") +
                  "\nAcme\nunused\nFuel pump\n" + pumpGuid + " ," + pumpAttachment + " ,Pump\n" +
                  (v104 ? "0.5 ,1 ,2 ,3, 5, 6, 7 ,11 ,\n" : "0.5 ,1 ,2 ,3, 4, 5, 6, 7 ,11 ,\n") +
                  "  1 ,\n   0 ,5 ,4 ,1 ,\n";
  return t;
}

TEST(ComponentFile, OlderVersionsUpgradeInMemory) {
  const VersionCase cases[] = {
      {"1.04",
       {1000, -2000, 500},
       {250, 0, -125},
       {0.1f, 0, 0.3f, 0.4f},
       {1, 2, 3, 0, 5, 6, 7},
       false},
      // 1.05 end points were a thousand times larger.
      {"1.05",
       {1, -2, 0.5f},
       {0.25f, 0, -0.125f},
       {0.1f, 0.2f, 0.3f, 0.4f},
       {1, 2, 3, 4, 5, 6, 7},
       true},
      {"1.06",
       {1000, -2000, 500},
       {250, 0, -125},
       {0.1f, 0.2f, 0.3f, 0.4f},
       {1, 2, 3, 4, 5, 6, 7},
       false},
  };
  for (const VersionCase& t : cases) {
    SCOPED_TRACE(t.version);
    auto p = parse(versionText(t.version));
    ASSERT_EQ(p->result, ComponentParseResult::ok);
    EXPECT_TRUE(p->ui.boxes.empty());
    EXPECT_EQ(p->modified, t.modified);
    ASSERT_EQ(p->connectors.size(), 1u);
    EXPECT_EQ(p->connectors[0].farEnd, t.farEnd);
    EXPECT_EQ(p->connectors[0].nearEnd, t.nearEnd);
    EXPECT_EQ(p->connectors[0].system, 7);
    EXPECT_EQ(p->connectors[0].values, t.connectorValues);
    EXPECT_EQ(p->connectors[0].value, 9);
    ASSERT_EQ(p->components.size(), 1u);
    const Component& k = p->components[0];
    EXPECT_EQ(k.guid, guid(pumpGuid));
    EXPECT_EQ(k.name, "Pump");
    EXPECT_EQ(k.setState, 0.5f);
    EXPECT_EQ(k.values, t.componentValues);
    EXPECT_EQ(k.value, 11);
    ASSERT_EQ(k.dependencies.size(), 1u);
    EXPECT_EQ(k.dependencies[0].first, 4);
    EXPECT_EQ(k.dependencies[0].second, 5);
    EXPECT_EQ(k.dependencies[0].flag, 1);
  }
}

TEST(ComponentFile, UnsupportedVersionIsReportedAndReadsNothing) {
  // A number no float holds is no version either.
  for (const char* version : {"1.03", "1e99"}) {
    auto p = parse(sampleText().replace(1, 4, version));
    EXPECT_EQ(p->result, ComponentParseResult::unsupportedVersion);
    EXPECT_TRUE(p->connectors.empty());
    EXPECT_TRUE(p->components.empty());
    ASSERT_EQ(p->ui.boxes.size(), 1u);
    EXPECT_EQ(p->ui.boxes[0].text, "Component file version is not supported!");
    EXPECT_EQ(p->ui.boxes[0].caption, "Error!");
    EXPECT_EQ(p->ui.boxes[0].icon, MessageIcon::error);
  }
}

TEST(ComponentFile, EveryMalformedGuidRefusesTheFile) {
  const struct {
    const char* broken;
    const char* message;
  } cases[] = {
      {connectorGuid, "Invalid GUID for connector: 0"},
      {connectorDependency, "Invalid GUID for connector dependency: 0"},
      {orphanGuid, "Invalid GUID for component: 1"},
      {pumpAttachment, "Invalid GUID for component attachment: 0"},
      {loopGuids[2], "Invalid GUID for component 0 dependency 1 loop: 2"},
  };
  for (const auto& t : cases) {
    SCOPED_TRACE(t.message);
    std::string text = sampleText();
    text.replace(text.find(t.broken), 8, "NOTAGUID");
    auto p = parse(text);
    EXPECT_EQ(p->result, ComponentParseResult::malformedGuid);
    EXPECT_TRUE(p->connectors.empty());
    EXPECT_TRUE(p->components.empty());
    ASSERT_EQ(p->ui.boxes.size(), 1u);
    EXPECT_EQ(p->ui.boxes[0].text, t.message);
    EXPECT_EQ(p->ui.boxes[0].caption, "Error!");
    EXPECT_EQ(p->ui.boxes[0].icon, MessageIcon::error);
  }
}

TEST(ComponentFile, HostileCountsNeitherHangNorAllocate) {
  const std::string component = std::string{"\nm\nm\nm\n"} + pumpGuid + " ," + pumpAttachment +
                                " ,Pump\n0.5 ,1 ,2 ,3, 4, 5, 6, 7 ,11 ,\n";
  // Counts the file cannot hold: it ends early, and the record it ends inside is not kept.
  const struct {
    std::string text;
    const char* endsEarly;  // "": whole
  } cases[] = {
      {" 1.06 ,\n 2147483647 ,\n", "ends early: 0 of 2147483647 connectors"},
      {" 1.06 ,\n 0 ,\n 2147483647 ,\n", "ends early: 0 of 2147483647 components"},
      {" 1.06 ,\n -5 ,\n -1 ,\n", ""},
      {" 1.06 ,\n 0 ,\n 1 ," + component + "  2147483647 ,\n", "ends early: 0 of 1 components"},
      {" 1.06 ,\n 0 ,\n 1 ," + component + "  1 ,\n   2147483647 ,-1 ,-1 ,0 ,\n",
       "ends early: 0 of 1 components"},
  };
  for (const auto& t : cases) {
    SCOPED_TRACE(t.text);
    auto p = parse(t.text);
    EXPECT_EQ(p->result, ComponentParseResult::ok);
    EXPECT_EQ(p->endsEarly, t.endsEarly);
    EXPECT_TRUE(p->components.empty());
    std::vector<std::string> texts;
    for (const auto& box : p->ui.boxes) texts.push_back(box.text);
    EXPECT_EQ(texts, *t.endsEarly ? std::vector<std::string>{cutShort(t.endsEarly)}
                                  : std::vector<std::string>{});
    EXPECT_LT(p->connectors.capacity() + p->components.capacity(), 4u);
  }
}

// Whatever the cut, the file is reported as ending early, or it reads as the whole file.
TEST(ComponentFile, EveryCutOfAFileIsReportedOrReadsWhole) {
  const auto model = std::make_unique<Model>();
  auto written = [&](const Parsed& p) {
    model->document.connectors = p.connectors;
    model->document.components = p.components;
    return formatComponents(*model);
  };
  const std::string text = sampleText();
  const std::string whole = written(*parse(text));
  for (std::size_t n = 0; n < text.size(); ++n) {
    SCOPED_TRACE(n);
    auto p = parse(std::string_view{text}.substr(0, n));
    EXPECT_LE(p->components.size(), 2u);
    if (n <= 1) {  // not a digit of a version
      EXPECT_EQ(p->result, ComponentParseResult::unsupportedVersion);
      continue;
    }
    ASSERT_EQ(p->result, ComponentParseResult::ok);
    if (!p->endsEarly.empty()) {
      ASSERT_EQ(p->endsEarly.rfind("ends early: ", 0), 0u) << p->endsEarly;
      ASSERT_EQ(p->ui.boxes.size(), 1u);
      EXPECT_EQ(p->ui.boxes[0].caption, "File cut short!");
      EXPECT_EQ(p->ui.boxes[0].text, cutShort(p->endsEarly));
    } else {
      ASSERT_EQ(written(*p), whole);
      ASSERT_TRUE(p->ui.boxes.empty());
    }
  }
}

TEST(ComponentFileRead, MissingFileLeavesTheListsEmptyWithoutAMessage) {
  TempRepo repo;
  fillSample(repo.model);
  EXPECT_TRUE(readComponents(repo.session, "Tug.asm"));
  EXPECT_TRUE(repo.model.document.connectors.empty());
  EXPECT_TRUE(repo.model.document.components.empty());
  EXPECT_TRUE(repo.ui.boxes.empty());
}

TEST(ComponentFileRead, OnlyAMalformedGuidRefusesTheDocument) {
  TempRepo repo;
  std::string broken = sampleText();
  broken.replace(broken.find(pumpGuid), 8, "NOTAGUID");
  repo.write("broken.cmp", broken);
  repo.write("old.cmp", " 1.03 ,\n 0 ,\n 0 ,\n");
  EXPECT_FALSE(readComponents(repo.session, "broken.asm"));
  EXPECT_TRUE(readComponents(repo.session, "old.asm"));
  ASSERT_EQ(repo.ui.boxes.size(), 2u);
  EXPECT_EQ(repo.ui.boxes[0].text, "Invalid GUID for component: 0");
  EXPECT_EQ(repo.ui.boxes[1].text, "Component file version is not supported!");
}

TEST(ComponentFileRead, AFileCutShortIsNotedUnderItsAssembly) {
  TempRepo repo;
  const std::string text = sampleText();
  repo.write("ships/Tug.cmp", text.substr(0, text.find(orphanGuid)));
  // What reading the assembly itself found comes first.
  noteReadShort(repo.model, "ships\\Tug.asm", "ends early: before its lights");
  ASSERT_TRUE(readComponents(repo.session, "ships\\Tug.asm"));
  EXPECT_EQ(repo.model.document.components.size(), 1u);
  ASSERT_EQ(repo.model.status.readShort.size(), 1u);
  EXPECT_EQ(repo.model.status.readShort[0].detail,
            "ends early: before its lights; ships\\Tug.cmp ends early: 1 of 2 components");
  ASSERT_EQ(repo.ui.boxes.size(), 1u);
  EXPECT_EQ(repo.ui.boxes[0].text,
            cutShort("ends early: 1 of 2 components", (repo.root / "ships/Tug.cmp").string()));
}

// The component file is written with its assembly, as one save.
bool saveAs(Session& session, const std::string& asmName) {
  session.model.document.kind = DocumentKind::asmfile;
  session.model.document.documentPath = asmName;
  session.model.status.documentModified = true;
  return writeAssembly(session, false, false);
}

TEST(ComponentFileWrite, WriteReadWriteGivesTheSameBytes) {
  TempRepo repo;
  fillSample(repo.model);
  std::filesystem::create_directories(repo.root / "ships");
  ASSERT_TRUE(saveAs(repo.session, "ships\\Tug.asm"));
  const std::string first = repo.read("ships/Tug.cmp");
  EXPECT_EQ(first, formatComponents(repo.model));

  repo.model.document.connectors.clear();
  repo.model.document.components.clear();
  ASSERT_TRUE(readComponents(repo.session, "ships\\Tug.asm"));
  EXPECT_EQ(repo.model.document.components.at(0).name, "Pump, aft, port");
  ASSERT_TRUE(saveAs(repo.session, "ships\\Copy.asm"));
  EXPECT_EQ(repo.read("ships/Copy.cmp"), first);
  EXPECT_TRUE(repo.ui.boxes.empty());
  EXPECT_TRUE(repo.model.status.readShort.empty());
  EXPECT_FALSE(repo.model.status.documentModified);
}

TEST(ComponentFileWrite, FailureOffersRetryAndCancel) {
  for (MessageAnswer answer : {MessageAnswer::retry, MessageAnswer::cancel}) {
    TempRepo repo;
    fillSample(repo.model);
    testing::MendingUi ui;
    ui.answers = {answer};
    // A folder in the component file's place, which the user removes before answering.
    repo.write("ships/Tug.cmp/blocker", "");
    ui.mend = [&] { std::filesystem::remove_all(repo.root / "ships/Tug.cmp"); };
    Session session{repo.model, repo.repository, ui, repo.store, repo.clock};

    const bool retried = answer == MessageAnswer::retry;
    const std::string path = resolvePath(repo.repository, "ships\\Tug.cmp");
    EXPECT_EQ(saveAs(session, "ships\\Tug.asm"), retried);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, std::generic_category().message(EISDIR) +
                                    " error when saving the following file...\n\n\"" + path + "\"");
    EXPECT_EQ(ui.boxes[0].caption, "File not saved!");
    EXPECT_EQ(ui.boxes[0].icon, MessageIcon::warning);
    EXPECT_EQ(ui.boxes[0].buttons, MessageButtons::retryCancel);
    EXPECT_EQ(std::filesystem::is_regular_file(path), retried);
    // The assembly goes with its component file or not at all.
    EXPECT_EQ(std::filesystem::exists(repo.root / "ships/Tug.asm"), retried);
  }
}

}  // namespace
}  // namespace tessarim
