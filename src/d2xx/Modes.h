#pragma once
/// @file
/// The protocol modes the programmer is opened in, and what each one means for the FT232R: the
/// direction mask and the start-up pulse given to the target once the link is configured. This
/// table is the one place a mode is described; a new chip family is one more row.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "d2xx/Wiring.h"

namespace pw {

/// Mode names, compared exactly (case included).
inline constexpr const char* kModeAvr = "AVR-ISP";
inline constexpr const char* kModePic = "PIC-ISP";
inline constexpr const char* kModeI2c = "I2C-Eeprom";
inline constexpr const char* kModeSpiFlash = "SPI-Flash";
inline constexpr const char* kModeNone = "NO";

/// A start-up pulse: Hold goes on the pins for one sample, then, WaitMs later, Release.
struct StartPulse {
  std::uint8_t Hold = 0;
  std::uint32_t WaitMs = 0;
  std::uint8_t Release = 0;
};

struct ProtocolMode {
  std::string_view Name;
  /// A set bit makes that data pin an output.
  std::uint8_t Mask = 0;
  /// Given right after the link is configured; none for modes whose target needs no clean start.
  std::optional<StartPulse> Pulse;
};

/// AVR: hold the target in reset, then release it, so it starts cleanly before programming mode.
inline constexpr std::uint32_t kAvrStartPulseMs = 10;

inline constexpr std::array<ProtocolMode, 5> kProtocolModes{{
    {kModeAvr, wiring::avr::Mask, StartPulse{0x00, kAvrStartPulseMs, wiring::avr::Reset}},
    {kModePic, wiring::pic::Mask, std::nullopt},
    {kModeI2c, wiring::i2c::Mask, std::nullopt},
    // /CS idles high between commands; a flash needs no start-up pulse.
    {kModeSpiFlash, wiring::spiflash::Mask, std::nullopt},
    {kModeNone, 0x00, std::nullopt},
}};

/// The row of name; an unknown name means every pin an input and no pulse.
constexpr ProtocolMode FindProtocolMode(std::string_view name) {
  for (const ProtocolMode& mode : kProtocolModes) {
    if (mode.Name == name) return mode;
  }
  return {name, 0x00, std::nullopt};
}

static_assert(FindProtocolMode("I2C-Eeprom").Mask == 0xED);
static_assert(!FindProtocolMode("avr-isp").Pulse);

}  // namespace pw
