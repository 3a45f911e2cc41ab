#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "sim/SimSpiFlash.h"

namespace pw::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

/// Drives the chip's pins as SPI mode 0 with /CS framing; returns what DO carried (1 when floating).
struct Driver {
  explicit Driver(const char* part, TimingModel timing = TimingModel::Lenient) : chip(*FindSimSpiFlashPart(part)) {
    env.Timing = timing;
  }
  Bytes Frame(const Bytes& out, int extraBits = 0) {
    Tick(true, false, false);
    Bytes in;
    for (const std::uint8_t byte : out) {
      std::uint8_t got = 0;
      for (int bit = 7; bit >= 0; --bit) got = static_cast<std::uint8_t>((got << 1) | Bit((byte >> bit) & 1));
      in.push_back(got);
    }
    for (int i = 0; i < extraBits; ++i) Bit(false);
    Tick(false, false, false);
    Tick(true, false, false);
    return in;
  }
  bool Bit(bool mosi) {
    const bool miso = Tick(false, false, mosi).value_or(true);
    Tick(false, true, mosi);
    return miso;
  }
  std::optional<bool> Tick(bool cs, bool sck, bool mosi) {
    env.Now += kPicosPerMicro;
    return chip.Step(cs, sck, mosi, env);
  }
  SimSpiFlash chip;
  SimEnvironment env;
};

TEST(SimSpiFlash, ProgramEraseAndStatusTakeEffectOnlyAsTheDatasheetSays) {
  const struct {
    const char* name;
    std::vector<std::pair<std::uint32_t, std::uint8_t>> preset;
    std::uint8_t status;
    std::vector<Bytes> frames;
    int extraBits;
    std::vector<std::pair<std::uint32_t, std::uint8_t>> probes;
    // clang-format off
  } cases[] = {
      {"program without write enable", {}, 0, {{0x02, 0, 0, 0x10, 0x00}}, 0, {{0x10, 0xFF}}},
      {"program clears bits only", {{0x10, 0xF0}}, 0, {{0x06}, {0x02, 0, 0, 0x10, 0x0F, 0x3C}}, 0, {{0x10, 0x00}, {0x11, 0x3C}}},
      {"program wraps inside its page", {}, 0, {{0x06}, {0x02, 0, 0x01, 0xFF, 0xAA, 0xBB}}, 0, {{0x1FF, 0xAA}, {0x100, 0xBB}, {0x200, 0xFF}}},
      {"a frame cut inside a byte", {}, 0, {{0x06}, {0x02, 0, 0, 0x10, 0x00}}, 3, {{0x10, 0xFF}}},
      {"write disable", {}, 0, {{0x06}, {0x04}, {0x02, 0, 0, 0x10, 0x00}}, 0, {{0x10, 0xFF}}},
      {"the latch serves one command", {}, 0, {{0x06}, {0x02, 0, 0, 0x10, 0x00}, {0x02, 0, 0, 0x11, 0x00}}, 0, {{0x10, 0x00}, {0x11, 0xFF}}},
      {"sector erase", {{0x1000, 0}, {0x1FFF, 0}, {0x2000, 0}}, 0, {{0x06}, {0x20, 0, 0x10, 0x20}}, 0, {{0x1000, 0xFF}, {0x1FFF, 0xFF}, {0x2000, 0}}},
      {"block erase", {{0x10000, 0}, {0x1FFFF, 0}, {0x20000, 0}}, 0, {{0x06}, {0xD8, 0x01, 0x23, 0x45}}, 0, {{0x10000, 0xFF}, {0x1FFFF, 0xFF}, {0x20000, 0}}},
      {"chip erase", {{0, 0}, {0x3FFFFF, 0}}, 0, {{0x06}, {0xC7}}, 0, {{0, 0xFF}, {0x3FFFFF, 0xFF}}},
      {"a protected chip", {{0x2000, 0}}, 0x1C, {{0x06}, {0x02, 0, 0, 0x10, 0x00}, {0x06}, {0x20, 0, 0x20, 0}}, 0, {{0x10, 0xFF}, {0x2000, 0}}},
      {"protection cleared", {}, 0x1C, {{0x06}, {0x01, 0x00}, {0x06}, {0x02, 0, 0, 0x10, 0x00}}, 0, {{0x10, 0x00}}},
      {"status written without enable", {}, 0x1C, {{0x01, 0x00}, {0x06}, {0x02, 0, 0, 0x10, 0x00}}, 0, {{0x10, 0xFF}}},
  };
  // clang-format on
  for (const auto& c : cases) {
    Driver d("W25Q32");
    for (const auto& [at, value] : c.preset) d.chip.Memory()[at] = value;
    d.chip.SetStatus(c.status);
    for (std::size_t i = 0; i < c.frames.size(); ++i) d.Frame(c.frames[i], i + 1 == c.frames.size() ? c.extraBits : 0);
    for (const auto& [at, value] : c.probes) EXPECT_EQ(d.chip.Memory()[at], value) << c.name << " at " << at;
  }
}

TEST(SimSpiFlash, AnswersItsIdAndStreamsReadsThatWrapAtTheEnd) {
  Driver d("W25X10");
  EXPECT_EQ(d.Frame({0x9F, 0, 0, 0, 0}), (Bytes{0xFF, 0xEF, 0x30, 0x11, 0xFF}));
  d.chip.Memory()[0x1FFFF] = 0x12;
  d.chip.Memory()[0] = 0x34;
  EXPECT_EQ(d.Frame({0x03, 0x01, 0xFF, 0xFF, 0, 0}), (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0x12, 0x34}));
  // An auto-address-increment part programs one byte per command.
  Driver sst("SST25VF016B");
  sst.Frame({0x06});
  sst.Frame({0x02, 0, 0, 0, 0x00, 0x00});
  EXPECT_EQ(sst.chip.Memory()[0], 0x00);
  EXPECT_EQ(sst.chip.Memory()[1], 0xFF);
}

TEST(SimSpiFlash, FourByteModeAndAutoAddressIncrementFollowTheirDatasheets) {
  constexpr std::uint32_t k16M = 16u << 20;
  const struct {
    const char* name;
    const char* part;
    std::vector<Bytes> frames;
    std::vector<std::pair<std::uint32_t, std::uint8_t>> probes;
    // clang-format off
  } cases[] = {
      {"3-byte mode reaches the low 16 MiB only", "W25Q256FV", {{0x06}, {0x02, 0x01, 0, 0x10, 0xAA}}, {{0x10010, 0xAA}, {k16M + 0x10, 0xFF}}},
      {"B7 makes addresses four bytes", "W25Q256FV", {{0xB7}, {0x06}, {0x02, 0x01, 0, 0, 0x10, 0xAA}}, {{k16M + 0x10, 0xAA}}},
      {"E9 makes them three again", "W25Q256FV", {{0xB7}, {0xE9}, {0x06}, {0x02, 0x01, 0, 0, 0x10, 0xAA}}, {{0x10000, 0x10}, {0x10001, 0xAA}, {k16M + 0x10, 0xFF}}},
      {"4-byte commands in 3-byte mode", "W25Q256FV", {{0x06}, {0x12, 0x01, 0, 0, 0x10, 0xAA}}, {{k16M + 0x10, 0xAA}}},
      {"4-byte erase", "MX25L51245G", {{0x06}, {0x12, 0x03, 0, 0x10, 0, 0}, {0x06}, {0x21, 0x03, 0, 0x10, 0}}, {{0x3001000, 0xFF}}},
      {"no 4-byte commands on a part without them", "GD25Q256", {{0x06}, {0x12, 0x01, 0, 0, 0x10, 0xAA}}, {{k16M + 0x10, 0xFF}, {0x10, 0xFF}}},
      {"B7 needs the latch where the datasheet says", "N25Q256A", {{0xB7}, {0x06}, {0x02, 0x01, 0, 0, 0x10, 0xAA}}, {{k16M + 0x10, 0xFF}, {0x10000, 0x10}}},
      {"B7 after write enable", "N25Q256A", {{0x06}, {0xB7}, {0x06}, {0x02, 0x01, 0, 0, 0x10, 0xAA}}, {{k16M + 0x10, 0xAA}}},
      {"AAI: two bytes a command", "SST25VF016B", {{0x06}, {0xAD, 0, 0, 0x11, 0x12, 0x34}, {0xAD, 0x56, 0x78}, {0x04}}, {{0x10, 0x12}, {0x11, 0x34}, {0x12, 0x56}, {0x13, 0x78}}},
      {"AAI without write enable", "SST25VF016B", {{0xAD, 0, 0, 0x10, 0x12, 0x34}}, {{0x10, 0xFF}}},
      {"AAI takes nothing else while it runs", "SST25VF016B", {{0x06}, {0xAD, 0, 0, 0x10, 0x12, 0x34}, {0x02, 0, 0x20, 0, 0}, {0xAD, 0x56, 0x78}}, {{0x2000, 0xFF}, {0x12, 0x56}}},
      {"write disable ends AAI", "SST25VF016B", {{0x06}, {0xAD, 0, 0, 0x10, 0x12, 0x34}, {0x04}, {0xAD, 0x56, 0x78}}, {{0x12, 0xFF}}},
      {"AAI ends at the top address", "SST25VF016B", {{0x06}, {0xAD, 0x1F, 0xFF, 0xFE, 0x12, 0x34}, {0xAD, 0x56, 0x78}}, {{0x1FFFFF, 0x34}, {0, 0xFF}}},
      {"status written after EWSR", "SST25VF016B", {{0x50}, {0x01, 0x00}, {0x06}, {0x02, 0, 0, 0x10, 0x00}}, {{0x10, 0x00}}},
      {"EWSR serves the next command only", "SST25VF016B", {{0x50}, {0x9F}, {0x01, 0x00}, {0x06}, {0x02, 0, 0, 0x10, 0x00}}, {{0x10, 0xFF}}},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Driver d(c.part);
    // The EWSR rows start protected; elsewhere a status of 0 changes nothing.
    d.chip.SetStatus(std::string(c.name).find("EWSR") != std::string::npos ? 0x1C : 0);
    for (const auto& frame : c.frames) d.Frame(frame);
    for (const auto& [at, value] : c.probes) EXPECT_EQ(d.chip.Memory()[at], value) << "at " << at;
  }
  Driver d("W25Q256FV");
  d.Frame({0xB7});
  EXPECT_TRUE(d.chip.FourByteMode());
  d.chip.PowerOff();
  EXPECT_FALSE(d.chip.FourByteMode()) << "power comes back in 3-byte mode";
  Driver sst("SST25VF016B");
  sst.Frame({0x06});
  sst.Frame({0xAD, 0, 0, 0, 0, 0});
  EXPECT_EQ(sst.Frame({0x05, 0})[1] & 0x40, 0x40) << "status bit 6 shows the sequence";
}

TEST(SimSpiFlash, WhileBusyUnderDatasheetTimingOnlyReadStatusIsTaken) {
  Driver d("W25Q32", TimingModel::Datasheet);
  d.chip.Memory()[0] = 0;
  d.Frame({0x06});
  d.Frame({0x20, 0, 0, 0});
  // Read Status repeats for as long as the clock runs.
  EXPECT_EQ(d.Frame({0x05, 0, 0}), (Bytes{0xFF, 0x01, 0x01}));
  EXPECT_EQ(d.Frame({0x9F, 0}), (Bytes{0xFF, 0xFF}));
  d.Frame({0x06});
  EXPECT_EQ(d.Frame({0x05, 0})[1], 0x01) << "write enable taken while busy";
  d.env.Now += 45 * kPicosPerMilli;
  EXPECT_EQ(d.Frame({0x05, 0})[1], 0x00);
  EXPECT_EQ(d.chip.Memory()[0], 0xFF);
  EXPECT_EQ(d.Frame({0x9F, 0})[1], 0xEF);
}

TEST(SimSpiFlash, BusyAfterEachPowerUpTakesOnlyReadStatusUnderEitherTiming) {
  for (const TimingModel timing : {TimingModel::Lenient, TimingModel::Datasheet}) {
    Driver d("W25Q20", timing);
    d.chip.SetPowerUpBusy(5 * kPicosPerMilli);
    for (int power = 0; power < 2; ++power) {
      SCOPED_TRACE(power);
      EXPECT_EQ(d.Frame({0x05, 0})[1], 0x01);
      EXPECT_EQ(d.Frame({0x9F, 0})[1], 0xFF);
      d.env.Now += 5 * kPicosPerMilli;
      EXPECT_EQ(d.Frame({0x9F, 0})[1], 0xEF);
      d.chip.PowerOff();
    }
  }
}

}  // namespace
}  // namespace pw::sim
