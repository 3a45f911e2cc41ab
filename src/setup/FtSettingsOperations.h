#pragma once
/// @file
/// The programmer's own settings (the FT232R's configuration EEPROM), window-free: read them,
/// program them from a person's choice or as the defaults. Steps of the operation frame on the
/// programmer alone (mode "NO", no chip). Only a record the last read filled is programmed, and
/// with the description that read found.

#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "d2xx/FtEepromImage.h"
#include "frame/Frame.h"
#include "link/D2xxUnit.h"
#include "setup/FtSettings.h"

namespace pw {

/// What a settings read found, for a face to show.
struct FtSettingsFound {
  /// The programmer was opened: its settings can be worked on.
  bool Opened = false;
  /// What the page's controls show; empty when the read did not finish.
  std::optional<FtSettingsView> View;
};

/// A text buffer of the record up to its first zero byte.
template <std::size_t N>
std::string FtBufferText(const std::array<char, N>& buffer) {
  return std::string(buffer.data(), strnlen(buffer.data(), N));
}

/// Reads the record as the settings page does (three EEPROM reads) into unit's FtEeData and
/// buffers; false when the EEPROM's checksum does not match.
bool ReadFtSettingsRecord(D2XXUnit& unit);

class FtSettingsOperations {
 public:
  explicit FtSettingsOperations(D2XXUnit& unit) : unit_(unit) {}
  FtSettingsOperations(const FtSettingsOperations&) = delete;
  FtSettingsOperations& operator=(const FtSettingsOperations&) = delete;

  /// The programmer in mode "NO"; openFailure is shown instead of the error when it cannot be
  /// opened (empty: the error itself).
  static FrameTarget Target(std::int32_t baud, std::string openFailure);

  /// Reads the record (three EEPROM reads), logs what it holds and fills found. An EEPROM whose
  /// checksum does not match is logged as damaged and still filled, so that it can be programmed
  /// anew; a run that leaves it so ends as a target failure (see Run).
  OperationStep Read(FtSettingsFound& found);
  /// Programs choice over the record last read, after asking when it chooses the external
  /// crystal. A current outside 0..500 mA is refused; every other failure, a current that is no
  /// number included, is shown as texts::kNoProgrammer after a log line with the error itself.
  OperationStep WriteSettings(FtSettingsChoice choice);
  /// Programs the default settings over the record last read.
  OperationStep WriteDefaults();

  /// Runs steps through the frame. When programs (a step programs) and another operation holds
  /// the programmer, nothing is opened or programmed: logged, the target failed. A run whose
  /// last read found the EEPROM damaged, and that programmed nothing after it, is a target failure.
  Outcome Run(OperationRun& run, const FrameTarget& target, std::span<const OperationStep> steps, bool programs);

 private:
  void ActRead(OperationRun& run, FtSettingsFound& found);
  void LogSettings(OperationRun& run) const;
  /// Programs the record last read, changed by change, after the checks that keep the
  /// programmer usable; logs done when it is programmed.
  void Program(OperationRun& run, const std::function<void(FT_PROGRAM_DATA&)>& change, const std::string& done);
  /// FT_EE_Program; when it fails, logs that the EEPROM may be half written and how to repair it.
  void ProgramRecord(OperationRun& run);
  /// FT_EE_Read of the record as a read does; false when the checksum does not match.
  bool ReadRecord();
  /// Reads the record back after programming: the failure line when the EEPROM's checksum or
  /// any word differs from the image that was written.
  std::optional<std::string> ReadBackDifference(const FtEepromImage& written);
  void KeepReadDescription();

  D2XXUnit& unit_;
  /// Whether the record holds what the last settings read found: only such a record is programmed.
  bool settingsRead_ = false;
  /// Whether the EEPROM the last read found has a checksum that does not match, and nothing has
  /// been programmed over it since.
  bool damaged_ = false;
  /// The description the last read found: the one the device is programmed with again.
  std::string readDescription_;
};

}  // namespace pw
