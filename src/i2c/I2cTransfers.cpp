// The I2C operations' transfers: writes in runs that stay within one page of the chip, reads in
// runs as long as one exchange carries, each with the stop check and the progress bar.

#include <algorithm>

#include "frame/Texts.h"
#include "i2c/I2cOperations.h"
#include "i2c/I2cTexts.h"

namespace pw {

bool I2cOperations::WriteAll(OperationRun& run, std::int32_t count,
                             const std::function<std::uint8_t(std::int32_t)>& value,
                             const std::function<bool(std::int32_t)>& wanted, PartialWrite& partial) {
  I2cGroups groups(unit_, type_.Addressing());
  // Groups are the chip's pages, aligned: a run inside one never rolls over onto the page's start,
  // nor crosses into the next block of a part beyond 64 KiB.
  const auto block = static_cast<std::int32_t>(type_.Addressing().Block());
  const std::int32_t group = std::clamp<std::int32_t>(type_.PageSize, 1, block);  // refused below 1 before
  run.StartProgress(count);
  for (std::int32_t at = 0; at < count; at += group) {
    if (run.StopRequested(texts::Undone(at, count, "байт EEPROM") + texts::kStoppedWrite)) return false;
    const std::int32_t end = std::min<std::int32_t>(at + group, count);
    for (std::int32_t start = at; start < end;) {
      if (!wanted(start)) {
        ++start;
        continue;
      }
      const std::int32_t taken = WriteRun(run, groups, start, end, value, wanted);
      if (taken == 0) return false;
      // A chip that took one run is changed: a failure from here on leaves it partly written.
      partial.Begun();
      start += taken;
    }
    run.Progress(end - 1);
  }
  partial.Finished();
  return true;
}

std::int32_t I2cOperations::WriteRun(OperationRun& run, I2cGroups& groups, std::int32_t start, std::int32_t end,
                                     const std::function<std::uint8_t(std::int32_t)>& value,
                                     const std::function<bool(std::int32_t)>& wanted) {
  // A page longer than one exchange can carry goes in several runs, each still inside the page.
  const std::int32_t most = I2cGroups::MostWriteBytes(type_.Addressing());
  std::vector<std::uint8_t> data;
  for (std::int32_t i = start; i < end && static_cast<std::int32_t>(data.size()) < most && wanted(i); ++i) {
    data.push_back(value(i));
  }
  const I2cGroupResult result =
      Transfer(run, groups, [&] { return groups.Write(static_cast<std::uint32_t>(start), data); });
  if (result == I2cGroupResult::Done) return static_cast<std::int32_t>(data.size());
  ChipFailed(run, result, static_cast<std::uint32_t>(start), "запись прервана");
  return 0;
}

I2cGroupResult I2cOperations::Transfer(OperationRun& run, I2cGroups& groups,
                                       const std::function<I2cGroupResult()>& transfer) {
  const I2cGroupResult result = transfer();
  if (result != I2cGroupResult::BusHeld) return result;
  run.Log(texts::kI2cBusCleared);
  // SDA still low after the clear: the failure's diagnosis says so.
  return groups.ClearBus() ? transfer() : result;
}

bool I2cOperations::ReadBytes(OperationRun& run, std::span<std::uint8_t> bytes, const char* consequence,
                              const char* stopped) {
  I2cGroups groups(unit_, type_.Addressing());
  const auto count = static_cast<std::int32_t>(bytes.size());
  // One addressing per run: the chip's address counter carries on across pages (and the blocks
  // of the small parts), but the parts beyond 64 KiB may roll over inside a block of 64 KiB.
  const std::int32_t most = I2cGroups::MostReadBytes(type_.Addressing());
  const auto block = static_cast<std::int64_t>(type_.Addressing().Block());
  run.StartProgress(count);
  for (std::int32_t start = 0, n = 0; start < count; start += n) {
    if (run.StopRequested(texts::Undone(start, count, "байт EEPROM") + stopped)) return false;
    const std::int64_t blockEnd = (start / block + 1) * block;
    n = static_cast<std::int32_t>(std::min<std::int64_t>({most, count - start, blockEnd - start}));
    const auto part = bytes.subspan(static_cast<std::size_t>(start), static_cast<std::size_t>(n));
    const I2cGroupResult result =
        Transfer(run, groups, [&] { return groups.Read(static_cast<std::uint32_t>(start), part); });
    if (result != I2cGroupResult::Done) {
      ChipFailed(run, result, static_cast<std::uint32_t>(start), consequence);
      return false;
    }
    run.Progress(start + n);
  }
  return true;
}

}  // namespace pw
