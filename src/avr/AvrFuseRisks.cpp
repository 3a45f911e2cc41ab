#include "avr/AvrFuseRisks.h"

#include <map>
#include <optional>
#include <sstream>

namespace pw {
namespace {

using Names = std::array<std::string, kFuseBitCount>;

std::optional<int> BitNamed(const Names& names, const std::string& name) {
  for (int n = 0; n < kFuseBitCount; ++n) {
    if (names[static_cast<std::size_t>(n)] == name) return n;
  }
  return std::nullopt;
}

/// Programmed fuse bits read 0.
bool Programmed(const AvrFuseBytes& f, int n) {
  const std::uint8_t bytes[3] = {f.Low, f.High, f.Ext};
  return ((bytes[n / 8] >> (n % 8)) & 1) == 0;
}

/// The clock selection of a fuse write: the CKSEL bits the chip has and CKDIV8.
struct ClockSetting {
  std::string Code;  ///< CKSEL bits, highest first, as chips.ini writes them
  bool Divided = false;
  bool operator==(const ClockSetting&) const = default;
};

ClockSetting ClockOf(const Names& names, const AvrFuseBytes& f) {
  ClockSetting s;
  for (int k = 3; k >= 0; --k) {
    if (const auto n = BitNamed(names, "CKSEL" + std::to_string(k))) s.Code += Programmed(f, *n) ? '0' : '1';
  }
  if (const auto n = BitNamed(names, "CKDIV8")) s.Divided = Programmed(f, *n);
  return s;
}

/// "0010:8000 0011:128" → code → kHz.
std::map<std::string, std::int64_t> InternalClocks(const std::string& text) {
  std::map<std::string, std::int64_t> clocks;
  std::istringstream in(text);
  std::string pair;
  while (in >> pair) {
    const auto colon = pair.find(':');
    if (colon == std::string::npos) continue;
    try {
      clocks[pair.substr(0, colon)] = std::stoll(pair.substr(colon + 1));
    } catch (const std::exception&) {
      // A malformed pair names no internal oscillator: its code counts as external, which asks.
    }
  }
  return clocks;
}

/// Hz as kHz with at most one decimal: "153.6", "128".
std::string KHz(std::int64_t hz) {
  const std::int64_t tenths = hz / 100;
  return std::to_string(tenths / 10) + (tenths % 10 ? "." + std::to_string(tenths % 10) : "");
}

std::string ClockName(const ClockSetting& s, bool hasDivider) {
  const std::string bits = "CKSEL" + std::to_string(s.Code.size() - 1) + "..0 = " + s.Code;
  return hasDivider ? bits + ", CKDIV8 = " + (s.Divided ? "0" : "1") : bits;
}

std::optional<std::string> ClockRisk(const Names& names, const AvrFuseBytes& written, const AvrFuseBytes& current,
                                     const std::string& internalClocks, std::int32_t baud) {
  const ClockSetting now = ClockOf(names, current);
  const ClockSetting next = ClockOf(names, written);
  // The chip answered with the clock it has now: keeping it is no risk.
  if (next.Code.empty() || next == now) return std::nullopt;
  const std::string name = ClockName(next, BitNamed(names, "CKDIV8").has_value());
  const auto clocks = InternalClocks(internalClocks);
  const auto internal = clocks.find(next.Code);
  // The same external source with another divider: the board does feed it.
  if (internal == clocks.end() && next.Code == now.Code) return std::nullopt;
  if (internal == clocks.end()) {
    return name +
           ": такт от внешнего генератора, кварца, резонатора или RC-цепи; без него на плате чип перестанет "
           "отвечать программатору";
  }
  const std::int64_t cpuHz = internal->second * 1000 / (next.Divided ? 8 : 1);
  // Two samples per SCK period at 16 samples per baud; SCK must stay below a quarter of the CPU clock.
  const std::int64_t sckHz = 8LL * baud;
  if (cpuHz > 4 * sckHz) return std::nullopt;
  return name + ": такт " + KHz(cpuHz) + " кГц, а SCK программатора " + KHz(sckHz) + " кГц (скорость " +
         std::to_string(baud) + ") требует больше " + KHz(4 * sckHz) + " кГц: чип перестанет понимать программатор";
}

}  // namespace

std::vector<std::string> FuseWriteRisks(const Names& names, const AvrFuseBytes& written, const AvrFuseBytes& current,
                                        const std::string& internalClocks, std::int32_t baud) {
  std::vector<std::string> risks;
  if (const auto n = BitNamed(names, "RSTDISBL"); n && Programmed(written, *n)) {
    risks.push_back("RSTDISBL = 0: вывод RESET станет обычным выводом, войти в режим программирования будет нельзя");
  }
  if (const auto n = BitNamed(names, "DWEN"); n && Programmed(written, *n)) {
    risks.push_back("DWEN = 0: вывод RESET займёт debugWIRE, программирование по SPI перестанет работать");
  }
  if (auto clock = ClockRisk(names, written, current, internalClocks, baud)) risks.push_back(std::move(*clock));
  return risks;
}

}  // namespace pw
