#include <gtest/gtest.h>

#include "common/Error.h"
#include "setup/FtSettings.h"

namespace pw {
namespace {

TEST(FtSettings, Cbus4NamesBothWays) {
  const struct {
    std::uint8_t Value;
    const char* Name;
  } shown[] = {{0, "TXDEN"},
               {5, "SLEEP"},
               {6, "CLK48"},
               {9, "CLK6"},
               {10, "CLK OFF"},
               {12, "BITBANG_RD"},
               {13, "неизвестная функция"},
               {255, "неизвестная функция"}};
  for (const auto& c : shown) EXPECT_EQ(CbusName(c.Value), c.Name) << int(c.Value);
  const struct {
    const char* Name;
    std::uint8_t Value;
  } written[] = {{"TXDEN", 0},
                 {"CLK48", 6},
                 {"CLK6", 9},
                 {"BITBANG_WR", 11},
                 {"CLK OFF", 10},
                 // Compared exactly: anything else is the clock output off.
                 {"clk48", 10},
                 {"CLK48 ", 10},
                 {"неизвестная функция", 10},
                 {"", 10}};
  for (const auto& c : written) EXPECT_EQ(CbusValue(c.Name), c.Value) << c.Name;
}

TEST(FtSettings, UsbVersionTextsBothWays) {
  const struct {
    std::uint16_t Version;
    const char* Text;
  } shown[] = {{0x0200, "2.0"}, {0x0110, "1.1"}, {0x0000, "0.0"}, {0x0020, "2.0"}, {0x0002, "0.2"}, {0x1234, "1.2"}};
  for (const auto& c : shown) EXPECT_EQ(UsbVersionText(c.Version), c.Text) << c.Version;
  const struct {
    const char* Text;
    std::uint16_t Version;
  } written[] = {{"2.0", 0x0200}, {"1.1", 0x0110}, {"2.00", 0x0110}, {"02.0", 0x0110}, {" 2.0", 0x0110}, {"", 0x0110}};
  for (const auto& c : written) EXPECT_EQ(UsbVersionValue(c.Text), c.Version) << c.Text;
}

TEST(FtSettings, TypedCurrentsAreWholeIntegersCheckedBeforeTheRecordsSixteenBits) {
  const struct {
    const char* Text;
    std::int32_t Value;
    bool Refused;
  } numbers[] = {{"90", 90, false},      {"10", 10, false},     {"0", 0, false},    {"+40", 40, false},
                 {"500", 500, false},    {"501", 501, true},    {"-10", -10, true}, {"70000", 70000, true},
                 {"65586", 65586, true}, {"65536", 65536, true}};
  for (const auto& c : numbers) {
    EXPECT_EQ(CurrentValue(c.Text), c.Value) << c.Text;
    EXPECT_EQ(CurrentRefusal(c.Value).has_value(), c.Refused) << c.Text;
  }
  for (const char* text : {"", "abc", "90mA", "9 0", "1.5", "-", "99999999999"}) {
    EXPECT_THROW(CurrentValue(text), PinwrightError) << text;
  }
}

TEST(FtSettings, RecordsThatWouldDisableTheProgrammerAreUnsafe) {
  const struct {
    std::uint16_t Vendor, Product, Current;
    bool Unsafe;
  } cases[] = {{0x0403, 0x6001, 90, false}, {0x0403, 0x6001, 500, false}, {0x0403, 0x6001, 0, false},
               {0, 0x6001, 90, true},       {0x0403, 0, 90, true},        {0x0403, 0x6001, 502, true}};
  for (const auto& c : cases) {
    FT_PROGRAM_DATA data{};
    data.VendorId = c.Vendor;
    data.ProductId = c.Product;
    data.MaxPower = c.Current;
    EXPECT_EQ(UnsafeSettings(data).has_value(), c.Unsafe) << c.Vendor << " " << c.Product << " " << c.Current;
  }
}

}  // namespace
}  // namespace pw
