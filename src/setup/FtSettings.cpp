#include "setup/FtSettings.h"

#include <array>
#include <charconv>

#include "common/Error.h"
#include "common/HexDigits.h"

namespace pw {
namespace {

constexpr std::array<const char*, 13> kCbusNames = {"TXDEN",   "PWRON",      "RXLED",     "TXLED", "TXRXLED",
                                                    "SLEEP",   "CLK48",      "CLK24",     "CLK12", "CLK6",
                                                    "CLK OFF", "BITBANG_WR", "BITBANG_RD"};

}  // namespace

std::string CbusName(std::uint8_t value) {
  return value < kCbusNames.size() ? kCbusNames[value] : "неизвестная функция";
}

std::vector<std::string> CbusNames() { return {kCbusNames.begin(), kCbusNames.end()}; }

std::uint8_t CbusValue(const std::string& name) {
  for (std::size_t i = 0; i < kCbusNames.size(); ++i) {
    if (name == kCbusNames[i]) return static_cast<std::uint8_t>(i);
  }
  return kCbusClockOff;
}

std::string UsbVersionText(std::uint16_t version) {
  std::string hex = HexDigits(version, 4);
  // At least two digits: drop leading zeros down to the last two.
  const std::size_t first = hex.find_first_not_of('0');
  hex = hex.substr(first == std::string::npos || first > 2 ? 2 : first);
  return std::string(1, hex[0]) + "." + hex[1];
}

std::uint16_t UsbVersionValue(const std::string& text) { return text == kUsbVersionTexts[0] ? 0x0200 : 0x0110; }

std::int32_t CurrentValue(const std::string& text) {
  const char* begin = text.data();
  const char* end = begin + text.size();
  if (begin != end && *begin == '+') ++begin;
  std::int32_t value = 0;
  const auto [stop, error] = std::from_chars(begin, end, value);
  if (begin == end || error != std::errc() || stop != end) {
    throw PinwrightError("'" + text + "' - недопустимое целое число");
  }
  return value;
}

std::optional<std::string> CurrentRefusal(std::int32_t current) {
  if (current < 0) return "Ошибка: ток " + std::to_string(current) + " mA меньше нуля, прошивка отменена";
  if (current > kMaxUsbCurrent) {
    return "Ошибка: ток " + std::to_string(current) + " mA больше " + std::to_string(kMaxUsbCurrent) +
           " mA, прошивка отменена";
  }
  return std::nullopt;
}

FtSettingsView ViewOf(const FT_PROGRAM_DATA& data) {
  return {CbusName(data.Cbus4), std::to_string(data.MaxPower), UsbVersionText(data.USBVersion),
          data.UseExtOsc != 0 ? 1 : 0};
}

void ApplyChoice(const FtSettingsChoice& choice, FT_PROGRAM_DATA& data) {
  data.Cbus4 = CbusValue(choice.Cbus);
  const std::int32_t current = CurrentValue(choice.Current);
  if (const auto refusal = CurrentRefusal(current)) throw PinwrightError(*refusal);
  data.MaxPower = static_cast<std::uint16_t>(current);
  data.USBVersion = UsbVersionValue(choice.Usb);
  data.HighDriveIOs = 1;
  data.PullDownEnable = 0;
  data.UseExtOsc = static_cast<std::uint8_t>(choice.Clock == kCrystalClock ? 1 : 0);
}

void ApplyDefaultSettings(FT_PROGRAM_DATA& data) {
  data.Cbus4 = kCbusClockOff;
  data.MaxPower = 50;
  data.USBVersion = 0x0200;
  data.HighDriveIOs = 1;
  data.PullDownEnable = 0;
  data.UseExtOsc = 0;
}

std::optional<std::string> UnsafeSettings(const FT_PROGRAM_DATA& data) {
  if (data.VendorId == 0 || data.ProductId == 0) {
    return "Ошибка: VID/PID программатора равны нулю, прошивка отменена (программатор пропал бы с шины USB)";
  }
  return CurrentRefusal(data.MaxPower);
}

}  // namespace pw
