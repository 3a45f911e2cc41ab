#include "sim/BenchTray.h"

#include <algorithm>

#include "sim/BenchValues.h"

namespace pw::sim {
namespace {

constexpr const char* kTray = "Tray";
constexpr const char* kFaultySection = "TrayFaulty";
constexpr std::string_view kNumberMark = "{n}";
/// About eleven days: longer periods only stop a run, and picoseconds stay far from overflow.
constexpr std::uint64_t kMostTrayMs = 1'000'000'000;
/// Every chip of a tray is made with the bench; a thousand is more than any simulated run reaches.
constexpr std::uint64_t kMostTrayChips = 1000;

std::string SocketSection(const IniFile& bench) {
  const std::string socket = bench.ReadString(kTray, "Socket", "");
  for (const char* section : {"AVR", "PIC", "I2C", "SPI"}) {
    if (!SameName(socket, section)) continue;
    if (!bench.HasSection(section)) {
      BadBench(std::string("[Tray] Socket=") + socket + " (нет раздела [" + section + "])");
    }
    return section;
  }
  BadBenchSetting(kTray, "Socket", socket, "AVR, PIC, I2C или SPI");
}

SimTraySchedule Schedule(const IniFile& bench) {
  SimTraySchedule schedule;
  schedule.Chips =
      static_cast<std::uint32_t>(BenchNumber(bench.ReadString(kTray, "Chips", "1"), "[Tray] Chips", kMostTrayChips));
  const std::string period = bench.ReadString(kTray, "PeriodMs", "");
  const std::string out = bench.ReadString(kTray, "OutMs", "0");
  const std::uint64_t periodMs = BenchNumber(period, "[Tray] PeriodMs", kMostTrayMs);
  const std::uint64_t outMs = BenchNumber(out, "[Tray] OutMs", kMostTrayMs);
  if (periodMs == 0) BadBenchSetting(kTray, "PeriodMs", period, "число больше 0");
  if (outMs >= periodMs) BadBenchSetting(kTray, "OutMs", out, "меньше PeriodMs=" + period);
  schedule.Period = periodMs * kPicosPerMilli;
  schedule.Out = outMs * kPicosPerMilli;
  return schedule;
}

std::vector<std::uint64_t> FaultyChips(const IniFile& bench, std::uint32_t chips) {
  const std::string list = bench.ReadString(kTray, "Faulty", "");
  std::vector<std::uint64_t> faulty;
  for (const auto& entry : SplitList(list, ',')) {
    const std::uint64_t n = BenchNumber(entry, "[Tray] Faulty", kMost32);
    if (chips == 0) BadBench("[Tray] Faulty=" + list + " (в лотке нет микросхем: Chips=0)");
    if (n < 1 || n > chips) BadBenchSetting(kTray, "Faulty", list, "номера микросхем 1.." + std::to_string(chips));
    faulty.push_back(n);
  }
  if (!faulty.empty() && !bench.HasSection(kFaultySection)) {
    BadBench("[Tray] Faulty=" + list + " (нет раздела [TrayFaulty] с неисправностями этих микросхем)");
  }
  return faulty;
}

}  // namespace

std::optional<BenchTray> ReadBenchTray(const IniFile& bench) {
  if (!bench.HasSection(kTray)) return std::nullopt;
  BenchTray tray;
  tray.Section = SocketSection(bench);
  tray.Schedule = Schedule(bench);
  tray.Faulty = FaultyChips(bench, tray.Schedule.Chips);
  return tray;
}

IniFile BenchTray::ChipBench(const IniFile& bench, std::uint32_t n) const {
  if (std::find(Faulty.begin(), Faulty.end(), n) == Faulty.end()) return bench;
  return bench.Overlaid(Section, kFaultySection);
}

void BenchTray::CheckFiles(const IniFile& bench, const std::vector<SimMemory>& memories) const {
  if (Schedule.Chips <= 1) return;
  for (const SimMemory& memory : memories) {
    const std::string file = bench.ReadString(Section, memory.Key, "");
    if (!file.empty() && file.find(kNumberMark) == std::string::npos) {
      BadBenchSetting(Section, memory.Key, file, "имя файла с {n}: у каждой микросхемы лотка свой файл");
    }
  }
}

std::string TrayChipFile(std::string name, std::uint32_t n) {
  const std::string number = std::to_string(n);
  for (auto at = name.find(kNumberMark); at != std::string::npos; at = name.find(kNumberMark, at + number.size())) {
    name.replace(at, kNumberMark.size(), number);
  }
  return name;
}

}  // namespace pw::sim
