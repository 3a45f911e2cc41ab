// "Cчитать дамп" and "Прошить дамп": program memory, configuration area and data memory
// together, in one HEX layout: words from byte address 0, the configuration area at 0x4000,
// data memory at 0x4200 (each location a byte and 0x00).

#include <algorithm>
#include <vector>

#include "d2xx/Modes.h"
#include "frame/ImageFiles.h"
#include "frame/Texts.h"
#include "hexfile/HexWriter.h"
#include "link/ProgrammerSession.h"
#include "pic/PicPage.h"
#include "pic/PicTexts.h"

namespace pw {
namespace {

/// Configuration-area bytes in the record at 0x4000: words 0x2000 to 0x2006.
constexpr std::int32_t kIdRecordBytes = 14;
constexpr std::uint32_t kConfigWordAddress = kPicConfigAddress + kIdRecordBytes;

}  // namespace

void PicPage::PicReadDumpClick() {
  const auto file = ctx_.Host.ChooseSaveFile("hex|*.hex", "hex");
  if (!file) return;
  // Larger memories would run into the configuration and data-memory addresses of the layout.
  if (FlashSize < 0 || 2 * static_cast<std::int64_t>(FlashSize) > kPicConfigAddress || EepromSize < 0 ||
      2 * static_cast<std::int64_t>(EepromSize) > 0x10000 - kPicDataAddress) {
    ctx_.Log.Append(texts::kPicTypeTooLarge);
    ctx_.MarkInputRefused();
    return;
  }
  ProgrammerSession session(ctx_.Unit, kModePic, ctx_.ProgrammerBaud);
  auto& images = ctx_.Images;
  ctx_.Log.Append("чтение Флеши");
  PicProgress.Min = 0;
  PicProgress.Max = 2 * EepromSize + FlashSize;
  SetProgress(0);
  Enter(true);
  std::string hexText;
  std::int32_t address = 0;
  std::vector<std::uint16_t> words(kBlockWords);
  // A stop saves no file; the images may then hold part of what was read.
  const auto stopped = [&](std::int64_t done) {
    return ctx_.StopRequested(texts::Undone(done, FlashSize + EepromSize, "слов и байт") + texts::kStoppedRead);
  };
  for (std::int32_t read = 0; read < FlashSize;) {
    if (read > 0 && stopped(read)) return session.Close();
    const std::int32_t n = std::min(kBlockWords, FlashSize - read);
    Utils.PicReadProgramWords(static_cast<std::uint16_t>(n), words);
    std::copy_n(words.begin(), n, images.FlashImage.begin() + read);
    AppendHexWords(n, words, hexText, address);
    read += n;
    SetProgress(read);
  }
  images.FlashDataCount = FlashSize;
  std::fill_n(images.FlashFilled.begin(), FlashSize, true);
  ShowFileParams();

  ctx_.Log.Append("чтение конфигурации");
  ReadConfigArea();
  ShowPicConfig();
  address = 0;
  AppendHexBytes(kIdRecordBytes, images.ConfigImage, hexText, address, kPicConfigAddress, 0);
  std::int32_t groups = 0;
  for (std::int32_t n = 0; n < static_cast<std::int32_t>(PicFuse.size()); ++n) {
    if (PicFuse[static_cast<std::size_t>(n)].Enabled) groups = n / 8 + 1;
  }
  if (groups > 0) AppendHexBytes(groups, images.ConfigImage, hexText, address, kConfigWordAddress, kIdRecordBytes);

  ctx_.Log.Append("чтение Еепром");
  Enter(false);
  address = 0;
  std::vector<std::uint8_t> bytes(kBlockWords);
  for (std::int32_t read = 0; read < EepromSize;) {
    if (stopped(FlashSize + read)) return session.Close();
    const std::int32_t n = std::min(kBlockWords, EepromSize - read);
    Utils.PicReadDataBytes(static_cast<std::uint16_t>(n), bytes);
    for (std::int32_t i = 0; i < n; ++i) {
      images.EepromImage[static_cast<std::size_t>(2 * (read + i))] = bytes[static_cast<std::size_t>(i)];
    }
    AppendHexBytesAsWords(n, bytes, hexText, address, kPicDataAddress, 0);
    read += n;
    SetProgress(FlashSize + 2 * static_cast<std::int64_t>(read));
  }
  images.EepromDataCount = 2 * EepromSize;
  for (std::int32_t k = 0; k < 2 * EepromSize; ++k) images.EepromFilled[static_cast<std::size_t>(k)] = k % 2 == 0;
  ShowFileParams();
  SaveHexText(*file, hexText);
  ctx_.Log.Append("файл сохранён");
  session.Close();
}

void PicPage::PicWriteDumpClick() {
  ProgrammerSession session(ctx_.Unit, kModePic, ctx_.ProgrammerBaud);
  if (ImagesFit(true, true)) {
    const std::int32_t n = std::min(ctx_.Images.FlashDataCount, FlashSize);
    const std::int32_t length = std::min(ctx_.Images.EepromDataCount, 2 * EepromSize);
    PicProgress.Min = 0;
    PicProgress.Max = n + length;
    SetProgress(0);
    // An area the file leaves empty is left as the chip has it, and not reported as written.
    if (n > 0) {
      ctx_.Log.Append("запись флеш " + std::to_string(n) + "слов");
      WritePicProgramMemory(n);
      if (ctx_.Stopping()) return session.Close();
    } else {
      ctx_.Log.Append(texts::kPicNoFlashData);
    }
    if (length > 0) {
      ctx_.Log.Append("запись Eeprom " + std::to_string(length / 2) + " байт");
      WritePicDataMemory(length, n);
      if (ctx_.Stopping()) return session.Close();
    } else if (EepromSize > 0) {
      ctx_.Log.Append(texts::kPicNoDataMemoryData);
    }
    ctx_.Log.Append("запись конфигурации ");
    TakePicConfig();
    WritePicConfig();
  }
  session.Close();
}

}  // namespace pw
