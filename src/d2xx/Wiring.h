#pragma once
/// @file
/// How the programmer board wires the FT232R data pins D0..D7 (bit n of a sample is Dn) to its
/// target headers, the direction mask each protocol opens the chip with, and the protocol modes
/// the programmer is opened in (mask and start-up pulse). This is the one place these facts
/// live; docs/hardware.md draws them. A new chip family is a namespace of pins and one mode.

#include <cstdint>
#include <optional>
#include <string_view>

namespace pw::wiring {

constexpr std::uint8_t Bit(int n) { return static_cast<std::uint8_t>(1u << n); }

/// AVR ISP header.
namespace avr {
inline constexpr std::uint8_t Mosi = Bit(3);
inline constexpr std::uint8_t Sck = Bit(5);
inline constexpr std::uint8_t Reset = Bit(6);  ///< 0 holds the target in reset
inline constexpr std::uint8_t Miso = Bit(7);
inline constexpr std::uint8_t Mask = Mosi | Sck | Reset;
}  // namespace avr

/// A 25-series SPI flash on the AVR ISP header: RESET becomes the chip select (active low);
/// the chip's /WP and /HOLD are tied high on the adapter, so the programmer never drives them.
namespace spiflash {
inline constexpr std::uint8_t Mosi = avr::Mosi;  ///< to the chip's DI
inline constexpr std::uint8_t Sck = avr::Sck;    ///< to the chip's CLK
inline constexpr std::uint8_t Cs = avr::Reset;   ///< to /CS: 0 selects the chip
inline constexpr std::uint8_t Miso = avr::Miso;  ///< from the chip's DO
inline constexpr std::uint8_t Mask = Mosi | Sck | Cs;
}  // namespace spiflash

/// PIC ICSP header.
namespace pic {
inline constexpr std::uint8_t SupplyA = Bit(0);
inline constexpr std::uint8_t PgdIn = Bit(1);  ///< senses the PGD line
inline constexpr std::uint8_t SupplyB = Bit(2);
inline constexpr std::uint8_t PgdOut = Bit(3);  ///< 1 pulls PGD low
inline constexpr std::uint8_t Mclr = Bit(4);    ///< 1 holds the chip in reset; falling edge enters programming
inline constexpr std::uint8_t Pgc = Bit(7);
inline constexpr std::uint8_t Mask = SupplyA | SupplyB | PgdOut | Mclr | Pgc;
}  // namespace pic

/// I2C EEPROM socket.
namespace i2c {
inline constexpr std::uint8_t Held0A = Bit(0);
inline constexpr std::uint8_t SdaIn = Bit(1);  ///< senses the SDA line
inline constexpr std::uint8_t Held0B = Bit(2);
inline constexpr std::uint8_t SdaOut = Bit(3);  ///< open-drain driver: 1 pulls SDA low
inline constexpr std::uint8_t Held0C = Bit(5);
inline constexpr std::uint8_t Held0D = Bit(6);
inline constexpr std::uint8_t Scl = Bit(7);
inline constexpr std::uint8_t Mask = Held0A | Held0B | SdaOut | Held0C | Held0D | Scl;
}  // namespace i2c

static_assert(avr::Mask == 0x68);
static_assert(pic::Mask == 0x9D);
static_assert(spiflash::Mask == avr::Mask, "the flash adapter sits on the AVR header");
static_assert(i2c::Mask == 0xED);

}  // namespace pw::wiring

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
