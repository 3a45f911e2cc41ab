// "Открыть Flash" and "Файл Eeprom": a file chosen by the person becomes the image that the
// write buttons program.

#include <exception>

#include "avr/AvrFlashFile.h"
#include "avr/AvrPage.h"
#include "avr/AvrTexts.h"
#include "frame/ImageFiles.h"

namespace pw {
namespace {

/// "N Кбайт" or "N байт" after the given start, then CR LF: one line of a size label.
std::string SizeLine(const std::string& start, std::int64_t bytes) {
  return start + texts::AvrSizeText(bytes) + "\r\n";
}

}  // namespace

bool AvrPage::LoadImageFile(Label& path, Button& write, std::string (*line)(const std::string&),
                            std::string (*load)(const ImageFile&, MemoryImages&)) {
  const auto file = ctx_.Host.ChooseOpenFile(texts::kAvrOpenFilter);
  if (!file) return false;
  const std::string previousPath = path.Caption;
  const bool previousWrite = write.Enabled;
  path.Caption = *file;
  ctx_.Log.Append(line(*file));
  write.Enabled = ChipKnown;
  try {
    const std::string notice = load(*file, ctx_.Images);
    if (!notice.empty()) ctx_.Log.Append(notice);
  } catch (const std::exception&) {
    // The image still holds the previous file: the label and the write button must say so, or
    // a write would program the old data under the new name.
    path.Caption = previousPath;
    write.Enabled = previousWrite;
    throw;
  }
  return true;
}

void AvrPage::AvrLoadFlsClick() {
  if (!LoadImageFile(AvrPathFls, AvrWriteFls, texts::AvrFlashFileLine, LoadAvrFlashFile)) return;
  // 512 words are one kibibyte; the chip's size has no blank before its unit.
  const std::int64_t chipWords = static_cast<std::int64_t>(FlashPageSize) * FlashPagesCount;
  AvrParamFls.Caption = "Объём флеши " + std::to_string(chipWords / 512) + "Кбайт\r\n" +
                        SizeLine("Данных в файле ", 2 * static_cast<std::int64_t>(ctx_.Images.FlashDataCount));
}

void AvrPage::AvrLoadEepClick() {
  if (!LoadImageFile(AvrPathEep, AvrWriteEep, texts::AvrEepromFileLine, LoadAvrEepromFile)) return;
  const std::int64_t chipBytes = static_cast<std::int64_t>(EepromPageSize) * EepromPagesCount;
  AvrParamEep.Caption = SizeLine("Объём еепром ", chipBytes) + SizeLine("Данных в файле ", ctx_.Images.EepromDataCount);
}

}  // namespace pw
