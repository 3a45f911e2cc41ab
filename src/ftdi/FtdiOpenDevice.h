#pragma once
/// @file
/// What the backend keeps for an open programmer (private to src/ftdi).

#include <ftdi.h>

#include <cstdint>
#include <deque>
#include <vector>

#include "ftdi/FtdiD2xx.h"

namespace pw::ftdi {

/// Time-outs until FT_SetTimeouts sets others, and in place of 0 ("for ever").
inline constexpr std::uint32_t kDefaultTimeoutMs = 5000;

struct FtdiD2xx::OpenDevice {
  ftdi_context* Context = nullptr;
  std::deque<std::uint8_t> Replies;
  std::vector<std::uint8_t> Outgoing;
  std::vector<std::uint8_t> Incoming;
  std::uint8_t Mode = FT_BITMODE_RESET;
  std::uint32_t ReadMs = kDefaultTimeoutMs;
  std::uint32_t WriteMs = kDefaultTimeoutMs;
  /// A transfer would not come back from a cancel: the buffers it points at must stay.
  bool Wedged = false;
};

}  // namespace pw::ftdi
