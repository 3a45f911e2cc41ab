#pragma once
/// @file
/// The protocol modes the programmer is opened in, and what each one means for the FT232R: the
/// direction mask and the start-up pulse given to the target once the link is configured. This
/// table is the one place a mode is described; a new chip family is one more row.

#include <cstdint>
#include <optional>
#include <string_view>

#include "d2xx/Wiring.h"

namespace pw {

/// A start-up pulse: Hold goes on the pins for one sample, then, WaitMs later, Release.
struct StartPulse {
  std::uint8_t Hold = 0;
  std::uint32_t WaitMs = 0;
  std::uint8_t Release = 0;
};

/// A protocol mode: what opening the programmer for one protocol sets up.
struct ProtocolMode {
  /// The mode's name, for messages and traces.
  std::string_view Name;
  /// A set bit makes that data pin an output.
  std::uint8_t Mask = 0;
  /// Given right after the link is configured; none for modes whose target needs no clean start.
  std::optional<StartPulse> Pulse;
};

/// AVR: hold the target in reset, then release it, so it starts cleanly before programming mode.
inline constexpr std::uint32_t kAvrStartPulseMs = 10;

inline constexpr ProtocolMode kModeAvr{"AVR-ISP", wiring::avr::Mask,
                                       StartPulse{0x00, kAvrStartPulseMs, wiring::avr::Reset}};
inline constexpr ProtocolMode kModePic{"PIC-ISP", wiring::pic::Mask, std::nullopt};
inline constexpr ProtocolMode kModeI2c{"I2C-Eeprom", wiring::i2c::Mask, std::nullopt};
/// /CS idles high between commands; a flash needs no start-up pulse.
inline constexpr ProtocolMode kModeSpiFlash{"SPI-Flash", wiring::spiflash::Mask, std::nullopt};
/// Every pin an input: the programmer's own settings are read and written without a target.
inline constexpr ProtocolMode kModeNone{"NO", 0x00, std::nullopt};

static_assert(kModeI2c.Mask == 0xED && kModePic.Mask == 0x9D && kModeAvr.Mask == 0x68);

}  // namespace pw
