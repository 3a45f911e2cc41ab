#pragma once
/// @file
/// What an operation writes or compares: the values of a memory image, which of them a file
/// held, and one past the highest it held. A view: the image stays where it lives (the
/// window's shared images, or the image the command line loaded a file into).

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace pw {

template <typename T>
struct ImageData {
  std::span<const T> Values;
  /// Filled[k]: the file held element k. Same length as Values.
  const std::vector<bool>* Filled = nullptr;
  /// One past the highest element the file held, gaps included; 0: no data.
  std::int32_t Count = 0;
  /// The file had records with a wrong checksum: its data may not be what was meant.
  bool Damaged = false;

  bool Holds(std::size_t k) const { return Filled != nullptr && k < Filled->size() && (*Filled)[k]; }
  /// Whether the file held any element of first .. end - 1.
  bool HoldsAny(std::size_t first, std::size_t end) const {
    for (std::size_t k = first; k < end; ++k) {
      if (Holds(k)) return true;
    }
    return false;
  }
};

}  // namespace pw
