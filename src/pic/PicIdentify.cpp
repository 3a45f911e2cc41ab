// The identification of a run: the device ID at word 0x2006, read before anything changes.

#include "pic/PicOperations.h"
#include "pic/PicTexts.h"

namespace pw {
namespace {

/// Word 0x2006 in the configuration area.
constexpr std::size_t kDeviceIdWord = 6;
/// Bits 4..0 are the silicon revision, which any chip of the type may have.
constexpr std::uint16_t kDeviceIdMask = 0x3FE0;
/// What a header with nothing on it reads: PGD pulled up, or held low.
constexpr std::uint16_t kFloating = 0x3FFF;

}  // namespace

std::function<bool(OperationRun&)> PicOperations::Identification() {
  return [this](OperationRun& run) { return Identify(run); };
}

bool PicOperations::Identify(OperationRun& run) {
  if (type_.DeviceId == 0) {
    run.Log(texts::kPicPresenceUnknown);
    return true;
  }
  Enter(false);
  PicConfigArea area{};
  utils_.PicReadConfigWords(area);
  const auto id = static_cast<std::uint16_t>(PicAreaWord(area, kDeviceIdWord) & kFloating);
  if (id == kFloating || id == 0) {
    run.Log(texts::PicNoChip(id));
    return false;
  }
  if ((id & kDeviceIdMask) == (type_.DeviceId & kDeviceIdMask)) return true;
  run.Log(texts::PicOtherChip(id, type_.DeviceId));
  run.Log(texts::kPicListHint);
  if (run.AskRisky(texts::kPicOtherChipTitle, texts::kPicOtherChipQuestion)) return true;
  run.Log(texts::kPicOtherChipRefused);
  return false;
}

}  // namespace pw
