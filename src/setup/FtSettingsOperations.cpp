#include "setup/FtSettingsOperations.h"

#include <algorithm>
#include <cstring>
#include <exception>

#include "common/Error.h"
#include "common/HexDigits.h"
#include "d2xx/Wiring.h"
#include "frame/Texts.h"

namespace pw {
namespace {

/// Runs work; any failure is reported as the programmer missing, as the write always has, after
/// the failure itself is logged when there is a log (the input checks have none).
void AsNoProgrammer(const std::function<void()>& work, OperationRun* run = nullptr) {
  try {
    work();
  } catch (const std::exception& e) {
    if (run) run->Log(e.what());
    throw PinwrightError(texts::kNoProgrammer);
  }
}

}  // namespace

FrameTarget FtSettingsOperations::Target(std::int32_t baud, std::string openFailure) {
  return {kModeNone, baud, nullptr, std::move(openFailure)};
}

OperationStep FtSettingsOperations::Read(FtSettingsFound& found) {
  OperationStep step;
  step.Act = [this, &found](OperationRun& run) { ActRead(run, found); };
  return step;
}

void FtSettingsOperations::ActRead(OperationRun& run, FtSettingsFound& found) {
  found.Opened = true;
  // Each read prepares the record afresh; one that fails leaves it half filled.
  settingsRead_ = false;
  damaged_ = false;
  const bool intact = ReadRecord();
  settingsRead_ = true;
  damaged_ = !intact;
  readDescription_ = FtBufferText(unit_.DescriptionBuffer);
  LogSettings(run);
  if (damaged_) run.Log(texts::kEepromChecksumBad);
  found.View = ViewOf(unit_.FtEeData);
}

void FtSettingsOperations::LogSettings(OperationRun& run) const {
  run.Log("считывание настроек FT");
  run.Log("Manufacture: " + FtBufferText(unit_.ManufacturerBuffer));
  run.Log("ID: " + FtBufferText(unit_.ManufacturerIdBuffer));
  run.Log("Description: " + FtBufferText(unit_.DescriptionBuffer));
  run.Log("SerialNumber: " + FtBufferText(unit_.SerialNumberBuffer));
  run.Log("HI Drive=" + std::to_string(unit_.FtEeData.HighDriveIOs));
}

OperationStep FtSettingsOperations::WriteSettings(FtSettingsChoice choice) {
  OperationStep step;
  step.CheckInputs = [choice]() -> Refusal {
    AsNoProgrammer([&] { CurrentValue(choice.Current); });
    return std::nullopt;
  };
  step.Confirm = [choice](OperationRun& run) {
    return choice.Clock != kCrystalClock || run.Ask(texts::kCrystalTitle, texts::kCrystalQuestion);
  };
  step.Act = [this, choice](OperationRun& run) {
    // Checked whole, before the record's 16 bits could wrap it into range.
    if (const auto refusal = CurrentRefusal(CurrentValue(choice.Current))) return run.TargetFailed(*refusal);
    AsNoProgrammer(
        [&] {
          Program(
              run, [&](FT_PROGRAM_DATA& data) { ApplyChoice(choice, data); }, texts::kSettingsWritten);
        },
        &run);
  };
  return step;
}

OperationStep FtSettingsOperations::WriteDefaults() {
  OperationStep step;
  step.Act = [this](OperationRun& run) { Program(run, ApplyDefaultSettings, texts::kDefaultsWritten); };
  return step;
}

void FtSettingsOperations::Program(OperationRun& run, const std::function<void(FT_PROGRAM_DATA&)>& change,
                                   const std::string& done) {
  // A record no read filled holds zeros: programmed, the programmer would vanish from the bus.
  if (!settingsRead_) return run.TargetFailed(texts::kSettingsNotRead);
  change(unit_.FtEeData);
  if (const auto unsafe = UnsafeSettings(unit_.FtEeData)) return run.TargetFailed(*unsafe);
  KeepReadDescription();
  unit_.FtSetBitMode(0x00, FT_BITMODE_RESET);
  FtEepromImage written{};
  // A record the codec refuses is refused by FT_EE_Program too, which raises before the compare.
  static_cast<void>(EncodeFtEeprom(unit_.FtEeData, written));
  ProgramRecord(run);
  damaged_ = false;
  if (const auto difference = ReadBackDifference(written)) return run.TargetFailed(*difference);
  run.Log(done);
  run.Completed(texts::kProgrammedNotClosed);
}

void FtSettingsOperations::ProgramRecord(OperationRun& run) {
  try {
    unit_.ProgramFtEeprom();
  } catch (const std::exception&) {
    // The chip takes the record word by word: a failure may leave a mix under the old checksum.
    run.Log(texts::kEepromHalfWritten);
    throw;
  }
}

bool ReadFtSettingsRecord(D2XXUnit& unit) {
  bool intact = true;
  for (std::uint32_t version : {0u, 1u, 2u}) intact = unit.ReadFtEeprom(version) && intact;
  return intact;
}

bool FtSettingsOperations::ReadRecord() { return ReadFtSettingsRecord(unit_); }

std::optional<std::string> FtSettingsOperations::ReadBackDifference(const FtEepromImage& written) {
  if (!ReadRecord()) return texts::kEepromChecksumBad;
  FtEepromImage read{};
  static_cast<void>(EncodeFtEeprom(unit_.FtEeData, read));
  for (int word = 0; word < static_cast<int>(written.size() / 2); ++word) {
    const std::uint16_t held = FtEepromWord(read, word);
    const std::uint16_t wanted = FtEepromWord(written, word);
    if (held != wanted) {
      return texts::kSettingsReadBackDiffers + std::to_string(word) + ": " + HexDigits(held, 4) + " вместо " +
             HexDigits(wanted, 4);
    }
  }
  return std::nullopt;
}

void FtSettingsOperations::KeepReadDescription() {
  // Opening the programmer lists the devices, which leaves the last listed description in the
  // record's buffer; it may be another device's, and the device keeps its own.
  std::memset(unit_.DescriptionBuffer.data(), 0, unit_.DescriptionBuffer.size());
  std::memcpy(unit_.DescriptionBuffer.data(), readDescription_.data(),
              std::min(readDescription_.size(), unit_.DescriptionBuffer.size() - 1));
}

Outcome FtSettingsOperations::Run(OperationRun& run, const FrameTarget& target, std::span<const OperationStep> steps,
                                  bool programs) {
  // The frame would take over a programmer another operation holds, and close it after.
  if (programs && unit_.FtHandle != 0) {
    run.TargetFailed(texts::kProgrammerBusy);
    return run.Result();
  }
  RunFrame(unit_, run, target, steps);
  if (damaged_ && run.Ok()) run.MarkTargetFailed();
  return run.Result();
}

}  // namespace pw
