// The identification of a run: the device ID at word 0x2006 (PIC18: 0x3FFFFE), read before
// anything changes.

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
constexpr std::uint16_t kPic18Floating = 0xFFFF;

/// Whether the run goes on with the chip that answered id (floating: all ones on the header),
/// matching the type's deviceId in the bits of mask; another chip's only if the person accepts it.
bool AcceptId(OperationRun& run, std::uint16_t id, std::uint16_t floating, std::int32_t deviceId, std::uint16_t mask) {
  if (id == floating || id == 0) {
    run.Log(texts::PicNoChip(id));
    return false;
  }
  if ((id & mask) == (deviceId & mask)) return true;
  run.Log(texts::PicOtherChip(id, deviceId));
  run.Log(texts::kPicListHint);
  if (run.AskRisky(texts::kPicOtherChipTitle, texts::kPicOtherChipQuestion)) return true;
  run.Log(texts::kPicOtherChipRefused);
  return false;
}

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
  if (pic18_) return AcceptId(run, pic18_->ReadDeviceId(), kPic18Floating, type_.DeviceId, pic18::kDeviceIdMask);
  PicConfigArea area{};
  utils_.PicReadConfigWords(area);
  const auto id = static_cast<std::uint16_t>(PicAreaWord(area, kDeviceIdWord) & kFloating);
  return AcceptId(run, id, kFloating, type_.DeviceId, kDeviceIdMask);
}

}  // namespace pw
