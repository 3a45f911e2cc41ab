#pragma once
/// @file
/// A bench: the virtual programmer set up from an INI file — its FTDI devices, the chips on
/// the board, the timing model and injected faults. Memory files are loaded when the bench is
/// made and written back by Save(), so a chip keeps its contents from one run to the next.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "ini/IniFile.h"
#include "sim/BenchTray.h"
#include "sim/SimFt232r.h"

namespace pw::sim {

class Bench {
 public:
  /// Raises PinwrightError when the file cannot be read or describes something impossible.
  static std::unique_ptr<Bench> FromFile(const std::filesystem::path& file);
  /// Memory files are relative to baseDir.
  static std::unique_ptr<Bench> FromText(const std::string& text, const std::filesystem::path& baseDir);
  /// The built-in bench: one programmer, erased chips with factory settings, lenient timing.
  static std::unique_ptr<Bench> Default();
  /// The text of the built-in bench.
  static const std::string& DefaultText();

  SimFt232r& Programmer() { return sim_; }
  /// The board of the first device that carries one, or null.
  SimBoard* Board();
  /// Writes back every memory file whose memory changed since it was loaded or last saved;
  /// raises PinwrightError when one cannot be written.
  void Save();

 private:
  Bench() = default;
  void Build(const IniFile& ini, const std::filesystem::path& baseDir);
  void AddDevices(const IniFile& ini, const std::filesystem::path& baseDir);
  void AddChips(const IniFile& ini, const std::filesystem::path& baseDir, SimBoard& board);
  void ApplyTiming(const IniFile& ini);
  void ApplyFaults(const IniFile& ini);
  void Bind(const std::filesystem::path& file, std::span<std::uint8_t> memory);
  /// Binds chip's memories to the files section names; trayChip (1-based) puts the chip's number
  /// for {n}, 0 takes the names as they are.
  void BindChip(const IniFile& ini, const std::string& section, SimChip& chip, const std::filesystem::path& baseDir,
                std::uint32_t trayChip = 0);
  /// The chip of section made by make, or the tray of such chips when the tray stands there.
  template <class Tray, class Chip>
  std::unique_ptr<Chip> MakeSocket(const IniFile& ini, const std::string& section,
                                   std::unique_ptr<Chip> (*make)(const IniFile&, const std::string&),
                                   const std::filesystem::path& baseDir);

  struct Binding {
    std::filesystem::path File;
    std::span<std::uint8_t> Memory;
    /// The memory as its file holds it.
    std::vector<std::uint8_t> Saved;
  };
  SimFt232r sim_;
  std::vector<Binding> bindings_;
  std::optional<BenchTray> tray_;
  /// The bench's own file (empty for a bench made from text): no memory file may be it.
  std::filesystem::path benchFile_;
};

}  // namespace pw::sim
