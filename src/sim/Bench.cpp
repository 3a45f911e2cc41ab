#include "sim/Bench.h"

#include <sstream>

#include "common/Error.h"
#include "sim/BenchMemory.h"
#include "sim/SimChipFactory.h"

namespace pw::sim {
namespace {

[[noreturn]] void BadBench(const std::string& what) { throw PinwrightError("Ошибка в файле стенда: " + what); }

bool YesNo(const IniFile& ini, const std::string& section, const std::string& key, bool def) {
  const std::string v = ini.ReadString(section, key, def ? "yes" : "no");
  if (SameName(v, "yes") || v == "1" || SameName(v, "true")) return true;
  if (SameName(v, "no") || v == "0" || SameName(v, "false")) return false;
  BadBench("[" + section + "] " + key + "=" + v + " (нужно yes или no)");
}

std::vector<std::string> SplitList(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::istringstream in(text);
  std::string part;
  while (std::getline(in, part, separator)) {
    const auto first = part.find_first_not_of(" \t");
    if (first == std::string::npos) continue;
    parts.push_back(part.substr(first, part.find_last_not_of(" \t") - first + 1));
  }
  return parts;
}

std::uint64_t Number(const std::string& text, const std::string& where) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) BadBench(where + ": " + text);
  return std::stoull(text);
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
  if (SimBoard* board = Board()) AddChips(ini, baseDir, *board);
}

void Bench::AddDevices(const IniFile& ini, const std::filesystem::path& baseDir) {
  for (int n = 1;; ++n) {
    const std::string section = n == 1 ? "Programmer" : "Programmer" + std::to_string(n);
    if (!ini.HasSection(section) && n > 1) break;
    SimDeviceConfig config;
    config.Description = ini.ReadString(section, "Description", config.Description);
    config.SerialNumber = ini.ReadString(section, "SerialNumber", config.SerialNumber);
    config.ListStatus = static_cast<FT_STATUS>(ini.ReadInteger(section, "ListStatus", 0));
    config.OpenStatus = static_cast<FT_STATUS>(ini.ReadInteger(section, "OpenStatus", 0));
    SimDevice& device = sim_.AddDevice(config);
    if (YesNo(ini, section, "Board", n == 1)) device.Board = std::make_unique<SimBoard>();
    const std::string eeprom = ini.ReadString(section, "Eeprom", "");
    if (!eeprom.empty()) Bind(baseDir / eeprom, device.Eeprom);
  }
}

void Bench::AddChips(const IniFile& ini, const std::filesystem::path& baseDir, SimBoard& board) {
  if (ini.HasSection("AVR")) {
    board.Avr = MakeSimAvr(ini, "AVR");
    BindChip(ini, "AVR", *board.Avr, baseDir);
  }
  if (ini.HasSection("PIC")) {
    board.Pic = MakeSimPic(ini, "PIC");
    BindChip(ini, "PIC", *board.Pic, baseDir);
  }
  if (ini.HasSection("I2C")) {
    board.I2c = MakeSimI2c(ini, "I2C");
    BindChip(ini, "I2C", *board.I2c, baseDir);
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
    BadBench("[Timing] Model=" + model + " (нужно lenient или datasheet)");
  }
  timing.SampleRate = Number(ini.ReadString("Timing", "SampleRate", "0"), "[Timing] SampleRate");
  timing.Latency = Number(ini.ReadString("Timing", "LatencyUs", "1000"), "[Timing] LatencyUs") * kPicosPerMicro;
}

void Bench::ApplyFaults(const IniFile& ini) {
  SimFaults& faults = sim_.Faults();
  for (const auto& rule : SplitList(ini.ReadString("Faults", "Fail", ""), ',')) {
    const auto parts = SplitList(rule, ':');
    const auto call = parts.size() == 3 ? SimCallNamed(parts[0]) : std::nullopt;
    if (!call) BadBench("[Faults] Fail=" + rule + " (нужно ВЫЗОВ:НОМЕР:СТАТУС)");
    faults.FailCall(*call, static_cast<std::uint32_t>(Number(parts[1], "[Faults] Fail")),
                    static_cast<FT_STATUS>(Number(parts[2], "[Faults] Fail")));
  }
  for (const auto& rule : SplitList(ini.ReadString("Faults", "ShortRead", ""), ',')) {
    const auto parts = SplitList(rule, ':');
    if (parts.size() != 2) BadBench("[Faults] ShortRead=" + rule + " (нужно НОМЕР:БАЙТ)");
    faults.ShortRead(static_cast<std::uint32_t>(Number(parts[0], "[Faults] ShortRead")),
                     static_cast<std::uint32_t>(Number(parts[1], "[Faults] ShortRead")));
  }
  const std::string unplug = ini.ReadString("Faults", "UnplugAfter", "");
  if (!unplug.empty()) faults.UnplugAfter(Number(unplug, "[Faults] UnplugAfter"));
}

void Bench::Bind(const std::filesystem::path& file, std::span<std::uint8_t> memory) {
  LoadMemoryFile(file, memory);
  bindings_.push_back({file, memory});
}

void Bench::BindChip(const IniFile& ini, const std::string& section, SimChip& chip, const std::filesystem::path& baseDir) {
  for (const SimMemory& memory : chip.Memories()) {
    const std::string file = ini.ReadString(section, memory.Key, "");
    if (!file.empty()) Bind(baseDir / file, *memory.Bytes);
  }
}

SimBoard* Bench::Board() {
  for (auto& device : sim_.Devices()) {
    if (device->Board) return device->Board.get();
  }
  return nullptr;
}

void Bench::Save() {
  for (const Binding& b : bindings_) SaveMemoryFile(b.File, b.Memory);
}

}  // namespace pw::sim
