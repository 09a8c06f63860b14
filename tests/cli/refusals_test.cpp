// What a careless or hostile repository does to the batch front end: each case is a small
// reproduction, and every file is checked byte for byte afterwards.

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli.hpp"
#include "support/documents.hpp"
#include "support/temp_repo.hpp"

namespace tessarim {
namespace {

namespace fs = std::filesystem;
using testing::TempRepo;

struct CliRun {
  int status;
  std::string out;
  std::string err;
};

CliRun run(std::vector<std::string> args) {
  std::ostringstream out, err;
  int status = runCli(args, out, err);
  return {status, out.str(), err.str()};
}

TEST(CliRefusals, JsonStaysValidWhateverBytesANameHolds) {
  TempRepo repo;
  const std::string latin1 = "caf\xE9.wld";
  repo.write("meshes/" + latin1, testing::triangleWld());
  repo.write("meshes/plain.wld", testing::triangleWld());

  CliRun info =
      run({"--repo", repo.root.string(), "info", (repo.root / "meshes" / latin1).string()});
  EXPECT_EQ(info.status, 0) << info.err;
  auto j = nlohmann::json::parse(info.out);
  EXPECT_EQ(j["modules"][0]["filename"], "meshes\\caf\xEF\xBF\xBD.wld");  // the byte replaced

  CliRun check = run({"--repo", repo.root.string(), "check", repo.root.string()});
  EXPECT_EQ(check.status, 0) << check.err;
  auto report = nlohmann::json::parse(check.out);
  ASSERT_EQ(report.size(), 2u);  // the other file's report is not lost
  for (const auto& entry : report) EXPECT_TRUE(entry["loaded"]) << entry;
}

}  // namespace
}  // namespace tessarim
