#include "pic/PicFiles.h"

#include "hexfile/HexReader.h"
#include "hexfile/HexTexts.h"

namespace pw {

std::string LoadPicFile(const std::filesystem::path& file, MemoryImages& images) {
  std::int32_t ignoredConfig = 0;
  HexLoadReport report =
      LoadHexFile(file, images.FlashImage, images.FlashDataCount, images.EepromImage, images.EepromDataCount,
                  kPicDataAddress, images.ConfigImage, ignoredConfig, kPicConfigAddress);
  images.FlashFilled = std::move(report.WordsFilled);
  images.EepromFilled = std::move(report.TopFilled);
  return report.BadChecksums == 0 ? std::string()
                                  : texts::HexBadChecksums(report.FirstBadChecksumLine, report.BadChecksums);
}

}  // namespace pw
