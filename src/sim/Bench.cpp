#include "sim/Bench.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <utility>

#include "common/Error.h"
#include "sim/BenchMemory.h"
#include "sim/BenchValues.h"
#include "sim/SimChipFactory.h"
#include "sim/SimLineFaults.h"

namespace pw::sim {
namespace {

constexpr auto Number = &BenchNumber;

/// Far beyond any rate the FT232R reaches, and low enough to leave a sample period.
constexpr std::uint64_t kMostSampleRate = 1'000'000'000;
/// Ten seconds: any longer latency would only stop a run.
constexpr std::uint64_t kMostLatencyUs = 10'000'000;

FT_STATUS Status(const IniFile& ini, const std::string& section, const std::string& key) {
  const std::int64_t value = ini.ReadInteger(section, key, 0);
  if (value < 0 || static_cast<std::uint64_t>(value) > kMost32) {
    BadBench("[" + section + "] " + key + "=" + std::to_string(value) + " (число вне пределов 0.." +
             std::to_string(kMost32) + ")");
  }
  return static_cast<FT_STATUS>(value);
}

/// A chip is listed with the strings its EEPROM holds; a bench that says otherwise is refused.
void TakeIdentityFromEeprom(const IniFile& ini, const std::string& section, SimDevice& device) {
  const std::pair<const char*, std::string*> keys[] = {{"Description", &device.Config.Description},
                                                       {"SerialNumber", &device.Config.SerialNumber}};
  const std::string stored[] = {FtEepromString(device.Eeprom, 0x10), FtEepromString(device.Eeprom, 0x12)};
  for (std::size_t i = 0; i < 2; ++i) {
    const std::string given = ini.ReadString(section, keys[i].first, "");
    if (!given.empty() && given != stored[i]) {
      BadBench("[" + section + "] " + keys[i].first + "=" + given + ", а в EEPROM \"" + stored[i] + "\"");
    }
    *keys[i].second = stored[i];
  }
}

/// [I2C] SdaEdge: after (the default) or before SCL, when a sample changes both.
bool SdaAfterScl(const IniFile& ini) {
  const std::string order = ini.ReadString("I2C", "SdaEdge", "after");
  if (SameName(order, "after")) return true;
  if (SameName(order, "before")) return false;
  BadBenchSetting("I2C", "SdaEdge", order, "after или before");
}

/// [Faults] UnplugAfter, UnplugAfterEepromWords, UnplugAtControl (the counts at which the device
/// goes away) and Busy (another process holds it).
void ReadUnplugFaults(const IniFile& ini, SimFaults& faults) {
  const std::string unplug = ini.ReadString("Faults", "UnplugAfter", "");
  if (!unplug.empty()) faults.UnplugAfter(Number(unplug, "[Faults] UnplugAfter", UINT64_MAX));
  const auto count = [&](const char* key) -> std::optional<std::uint32_t> {
    const std::string text = ini.ReadString("Faults", key, "");
    if (text.empty()) return std::nullopt;
    return static_cast<std::uint32_t>(Number(text, std::string("[Faults] ") + key, kMost32));
  };
  if (const auto words = count("UnplugAfterEepromWords")) faults.UnplugAfterEepromWords(*words);
  if (const auto control = count("UnplugAtControl")) faults.UnplugAtControl(*control);
  faults.Busy(BenchYesNo(ini, "Faults", "Busy", false));
}

const std::string kDefaultBench = R"([Programmer]
Description=FT232R USB UART
SerialNumber=A1B2C3D4
[AVR]
Part=ATmega328P
[PIC]
Part=PIC16F628A
[I2C]
Part=24C256
[Timing]
Model=lenient
)";

}  // namespace

const std::string& Bench::DefaultText() { return kDefaultBench; }

std::unique_ptr<Bench> Bench::FromFile(const std::filesystem::path& file) {
  const IniFile ini = IniFile::Load(file, {.StripInlineComments = true});
  if (!ini.Exists()) throw PinwrightError("Ошибка! Файл стенда не найден: " + file.string());
  std::unique_ptr<Bench> bench(new Bench());
  bench->benchFile_ = file;
  bench->Build(ini, file.parent_path());
  return bench;
}

std::unique_ptr<Bench> Bench::FromText(const std::string& text, const std::filesystem::path& baseDir) {
  std::unique_ptr<Bench> bench(new Bench());
  bench->Build(IniFile::Parse(text, {.StripInlineComments = true}), baseDir);
  return bench;
}

std::unique_ptr<Bench> Bench::Default() { return FromText(kDefaultBench, {}); }

void Bench::Build(const IniFile& ini, const std::filesystem::path& baseDir) {
  AddDevices(ini, baseDir);
  ApplyTiming(ini);
  ApplyFaults(ini);
  if (SimBoard* board = Board()) {
    board->Lines = ReadLineFaults(ini);
    AddChips(ini, baseDir, *board);
  }
}

void Bench::AddDevices(const IniFile& ini, const std::filesystem::path& baseDir) {
  for (int n = 1;; ++n) {
    const std::string section = n == 1 ? "Programmer" : "Programmer" + std::to_string(n);
    if (!ini.HasSection(section) && n > 1) break;
    SimDeviceConfig config;
    config.Description = ini.ReadString(section, "Description", config.Description);
    config.SerialNumber = ini.ReadString(section, "SerialNumber", config.SerialNumber);
    config.ListStatus = Status(ini, section, "ListStatus");
    config.OpenStatus = Status(ini, section, "OpenStatus");
    SimDevice& device = sim_.AddDevice(config);
    if (BenchYesNo(ini, section, "Board", n == 1)) device.Board = std::make_unique<SimBoard>();
    const std::string eeprom = ini.ReadString(section, "Eeprom", "");
    if (eeprom.empty()) continue;
    const auto file = baseDir / eeprom;
    std::error_code ec;
    const bool given = std::filesystem::exists(file, ec);
    Bind(file, device.Eeprom);
    if (given) TakeIdentityFromEeprom(ini, section, device);
  }
}

template <class Tray, class Chip>
std::unique_ptr<Chip> Bench::MakeSocket(const IniFile& ini, const std::string& section,
                                        std::unique_ptr<Chip> (*make)(const IniFile&, const std::string&),
                                        const std::filesystem::path& baseDir) {
  if (!tray_ || tray_->Section != section) {
    auto chip = make(ini, section);
    BindChip(ini, section, *chip, baseDir);
    return chip;
  }
  std::vector<std::unique_ptr<Chip>> chips;
  for (std::uint32_t n = 1; n <= tray_->Schedule.Chips; ++n) {
    const IniFile chipBench = tray_->ChipBench(ini, n);
    chips.push_back(make(chipBench, section));
    tray_->CheckFiles(ini, chips.back()->Memories());
    BindChip(chipBench, section, *chips.back(), baseDir, n);
  }
  return std::make_unique<Tray>(tray_->Schedule, std::move(chips));
}

void Bench::AddChips(const IniFile& ini, const std::filesystem::path& baseDir, SimBoard& board) {
  tray_ = ReadBenchTray(ini);
  if (ini.HasSection("AVR")) board.Avr = MakeSocket<SimAvrTray>(ini, "AVR", &MakeSimAvr, baseDir);
  if (ini.HasSection("PIC")) board.Pic = MakeSocket<SimPicTray>(ini, "PIC", &MakeSimPic, baseDir);
  if (ini.HasSection("SPI")) {
    // One header, one chip: an AVR and a flash on the same lines would take each other's commands.
    if (ini.HasSection("AVR")) BadBench("на колодке AVR одна микросхема: раздел [AVR] или [SPI], не оба");
    board.Spi = MakeSocket<SimSpiTray>(ini, "SPI", &MakeSimSpi, baseDir);
  }
  if (ini.HasSection("I2C")) {
    board.I2c = MakeSocket<SimI2cTray>(ini, "I2C", &MakeSimI2c, baseDir);
    board.I2cSdaAfterScl = SdaAfterScl(ini);
  }
}

void Bench::ApplyTiming(const IniFile& ini) {
  SimTiming& timing = sim_.Timing();
  const std::string model = ini.ReadString("Timing", "Model", "lenient");
  if (SameName(model, "lenient")) {
    timing.Model = TimingModel::Lenient;
  } else if (SameName(model, "datasheet")) {
    timing.Model = TimingModel::Datasheet;
  } else {
    BadBenchSetting("Timing", "Model", model, "lenient или datasheet");
  }
  timing.SampleRate = Number(ini.ReadString("Timing", "SampleRate", "0"), "[Timing] SampleRate", kMostSampleRate);
  // Datasheet timing hides nothing behind the USB latency unless the bench asks for it: a wait
  // too short for a chip shows as a failure.
  const char* latency = timing.Model == TimingModel::Datasheet ? "0" : "1000";
  timing.Latency =
      Number(ini.ReadString("Timing", "LatencyUs", latency), "[Timing] LatencyUs", kMostLatencyUs) * kPicosPerMicro;
  const std::string realTime = ini.ReadString("Timing", "RealTime", "no");
  if (SameName(realTime, "yes")) {
    timing.RealTime = true;
  } else if (!SameName(realTime, "no")) {
    BadBenchSetting("Timing", "RealTime", realTime, "yes или no");
  }
}

void Bench::ApplyFaults(const IniFile& ini) {
  SimFaults& faults = sim_.Faults();
  for (const auto& rule : SplitList(ini.ReadString("Faults", "Fail", ""), ',')) {
    const auto parts = SplitList(rule, ':');
    const auto call = parts.size() == 3 ? SimCallNamed(parts[0]) : std::nullopt;
    if (!call) BadBenchSetting("Faults", "Fail", rule, "ВЫЗОВ:НОМЕР:СТАТУС");
    faults.FailCall(*call, static_cast<std::uint32_t>(Number(parts[1], "[Faults] Fail", kMost32)),
                    static_cast<FT_STATUS>(Number(parts[2], "[Faults] Fail", kMost32)));
  }
  for (const auto& rule : SplitList(ini.ReadString("Faults", "ShortRead", ""), ',')) {
    const auto parts = SplitList(rule, ':');
    if (parts.size() != 2) BadBenchSetting("Faults", "ShortRead", rule, "НОМЕР:БАЙТ");
    faults.ShortRead(static_cast<std::uint32_t>(Number(parts[0], "[Faults] ShortRead", kMost32)),
                     static_cast<std::uint32_t>(Number(parts[1], "[Faults] ShortRead", kMost32)));
  }
  ReadUnplugFaults(ini, faults);
}

void Bench::Bind(const std::filesystem::path& file, std::span<std::uint8_t> memory) {
  std::error_code ec;
  if (!benchFile_.empty() && std::filesystem::equivalent(file, benchFile_, ec)) {
    BadBench("файл памяти " + file.string() + " - это сам файл стенда");
  }
  LoadMemoryFile(file, memory);
  bindings_.push_back({file, memory, std::vector<std::uint8_t>(memory.begin(), memory.end())});
}

void Bench::BindChip(const IniFile& ini, const std::string& section, SimChip& chip,
                     const std::filesystem::path& baseDir, std::uint32_t trayChip) {
  for (const SimMemory& memory : chip.Memories()) {
    const std::string file = ini.ReadString(section, memory.Key, "");
    if (!file.empty()) Bind(baseDir / (trayChip ? TrayChipFile(file, trayChip) : file), *memory.Bytes);
  }
}

SimBoard* Bench::Board() {
  for (auto& device : sim_.Devices()) {
    if (device->Board) return device->Board.get();
  }
  return nullptr;
}

void Bench::Save() {
  // A memory the run left alone keeps its file untouched (and absent when it was absent).
  for (Binding& b : bindings_) {
    if (std::equal(b.Memory.begin(), b.Memory.end(), b.Saved.begin(), b.Saved.end())) continue;
    SaveMemoryFile(b.File, b.Memory);
    b.Saved.assign(b.Memory.begin(), b.Memory.end());
  }
}

}  // namespace pw::sim
