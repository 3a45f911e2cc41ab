// speed.txt is read as every other input file: a regular file of a sane size, else a message
// naming it, and never a wait on a pipe or a read without end.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <functional>

#include "app/SpeedList.h"
#include "support/TestDirs.h"

namespace pw {
namespace {

namespace fs = std::filesystem;

TEST(SpeedFileCli, OnlyARegularFileOfASaneSizeIsRead) {
  const struct {
    const char* Name;
    std::function<void(const fs::path&)> Make;
    std::string Why;
  } cases[] = {
      {"FIFO", [](const fs::path& p) { ASSERT_EQ(mkfifo(p.c_str(), 0600), 0); }, "это не обычный файл"},
      {"folder", [](const fs::path& p) { fs::create_directory(p); }, "это не обычный файл"},
      {"link to /dev/zero", [](const fs::path& p) { fs::create_symlink("/dev/zero", p); }, "это не обычный файл"},
      {"1 GiB",
       [](const fs::path& p) {
         std::ofstream{p};
         fs::resize_file(p, std::uintmax_t{1} << 30);
       },
       "файл больше допустимых " + std::to_string(kSpeedFileLimit) + " байт"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    test::TempDir dir;
    c.Make(dir / kSpeedFileName);
    // The harness's guard: a hang ends as status 124 instead of holding up the suite.
    const auto r = test::RunProgram("timeout", {"20", PINWRIGHT_CLI, "--simulator", "settings", "read"}, dir.Path());
    EXPECT_EQ(r.Status, 1) << r.Err;
    EXPECT_NE(r.Err.find((dir / kSpeedFileName).string() + ": " + c.Why), std::string::npos) << r.Err;
  }
}

}  // namespace
}  // namespace pw
