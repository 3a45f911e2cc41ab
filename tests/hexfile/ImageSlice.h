#pragma once
/// @file
/// A run of an image's cells, to compare with the values a test expects there.

#include <cstddef>
#include <vector>

namespace pw::test {

/// count cells of image from first on.
template <class Image>
std::vector<typename Image::value_type> Slice(const Image& image, std::size_t first, std::size_t count) {
  const auto from = image.begin() + static_cast<std::ptrdiff_t>(first);
  return {from, from + static_cast<std::ptrdiff_t>(count)};
}

}  // namespace pw::test
