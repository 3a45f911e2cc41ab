#pragma once
/// @file
/// The check that two loads filled the shared images alike: values, what the file held, counts.

#include <gtest/gtest.h>

#include "frame/MemoryImages.h"

namespace pw::test {

inline void ExpectSameImages(const MemoryImages& got, const MemoryImages& want) {
  EXPECT_EQ(got.FlashImage, want.FlashImage);
  EXPECT_EQ(got.FlashFilled, want.FlashFilled);
  EXPECT_EQ(got.FlashDataCount, want.FlashDataCount);
  EXPECT_EQ(got.EepromImage, want.EepromImage);
  EXPECT_EQ(got.EepromFilled, want.EepromFilled);
  EXPECT_EQ(got.EepromDataCount, want.EepromDataCount);
}

}  // namespace pw::test
