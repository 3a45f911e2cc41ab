// SHA-256 of files against sha256sum, at the lengths where the padding changes shape.
#include <gtest/gtest.h>

#include <random>

#include "common/Error.h"
#include "production/ProductionRecord.h"
#include "support/TestDirs.h"

namespace pw::production {
namespace {

TEST(Sha256, FilesOfEveryPaddingShapeHashAsSha256sumHashesThem) {
  test::TempDir dir;
  std::mt19937 random(7);
  // 55 and 56 bytes: the length still fits the last block or needs one more; 64: a whole block.
  for (const std::size_t size : {0, 1, 55, 56, 63, 64, 65, 119, 120, 1000, 100003}) {
    SCOPED_TRACE(size);
    std::string bytes(size, '\0');
    for (auto& b : bytes) b = static_cast<char>(random());
    const auto file = dir.Write("f" + std::to_string(size) + ".bin", bytes);
    const auto sum = test::RunProgram("sha256sum", {file.string()}, dir.Path());
    ASSERT_EQ(sum.Status, 0) << sum.Err;
    EXPECT_EQ(Sha256OfFile(file), sum.Out.substr(0, 64));
  }
  EXPECT_THROW(Sha256OfFile(dir / "missing.bin"), PinwrightError);
}

}  // namespace
}  // namespace pw::production
