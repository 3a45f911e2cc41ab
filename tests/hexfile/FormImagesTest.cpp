// The window owns the shared images; its start-up empties their data counts.
#include <gtest/gtest.h>

#include "app/Form1.h"
#include "backend/Backend.h"
#include "support/ScriptedHost.h"
#include "support/TestDirs.h"

namespace pw {
namespace {

TEST(FormImages, StartupEmptiesTheCountsThePagesShare) {
  auto backend = Backend::Absent();
  test::ScriptedHost host;
  TForm1 form(backend->Driver(), host, FormPaths{test::BinDir(), {}, test::BinDir()});
  form.Images.FlashDataCount = 5;
  form.Images.EepromDataCount = 7;
  form.FormCreate();
  EXPECT_TRUE(host.Errors.empty()) << host.Errors.front();
  EXPECT_EQ(form.Images.FlashDataCount, 0);
  EXPECT_EQ(form.Images.EepromDataCount, 0);
  EXPECT_EQ(&form.Context().Images, &form.Images);
  EXPECT_EQ(form.Images.FlashImage.size(), 131072u);
  EXPECT_EQ(form.Images.ConfigImage.size(), 65536u);
}

}  // namespace
}  // namespace pw
