#include "spi/SpiFlashPage.h"

#include <array>

#include "common/HexDigits.h"
#include "ini/IniFile.h"

namespace pw {

SpiFlashPage::SpiFlashPage(FormContext& context) : ctx_(context) {
  SpiFlashType.OnChange = [this] { ViewSpi(); };
  SpiFlashFile.OnClick = [this] { SpiFlashFileClick(); };
  SpiFlashRead.OnClick = [this] { SpiFlashReadClick(); };
  SpiFlashWrite.OnClick = [this] { SpiFlashWriteClick(); };
  SpiFlashErase.OnClick = [this] { SpiFlashEraseClick(); };
}

void SpiFlashPage::Startup() {
  // The type is found from the chip; the list lets a person look at the others.
  SpiFlashType.Items = IniFile::Load(ctx_.DescriptionFile(kTypesFile)).SectionNames();
}

std::vector<ControlRef> SpiFlashPage::Controls() {
  return {&SpiFlash,      &SpiFlashType, &SpiFlashFile, &SpiFlashRead, &SpiFlashWrite,
          &SpiFlashErase, &SpiFlashLab1, &SpiFlashLab2, &SpiProgress};
}

void SpiFlashPage::ViewSpi() {
  const IniFile types = IniFile::Load(ctx_.DescriptionFile(kTypesFile));
  const auto result =
      types.HasSection(SpiFlashType.Text) ? ReadSpiFlashType(types, SpiFlashType.Text) : FlashTypeResult{};
  std::string text;
  if (result.Type) {
    text = "Объём: " + std::to_string(result.Type->Size) + " байт, ID " + JedecText(result.Type->Id);
    if (!result.Type->Writable) text += ", только чтение";
  }
  if (image_.End != 0)
    text += (text.empty() ? "" : "; ") + std::string("в файле ") + std::to_string(image_.End) + " байт";
  SpiFlashLab2.Caption = text.empty() ? SpiFlashLab2.Caption : text;
  SpiFlashWrite.Enabled = image_.End != 0;
}

void SpiFlashPage::SpiFlashFileClick() {
  const auto file = ctx_.Host.ChooseOpenFile("hex, bin|*.hex;*.bin|hex|*.hex|bin|*.bin");
  if (!file) return;
  ctx_.Log.Append("файл: " + *file);
  std::string notice;
  // All or nothing: a file that cannot be used leaves the loaded one and its label in place.
  SpiFlashImage loaded = LoadSpiFlashImage(*file, notice);
  image_ = std::move(loaded);
  SpiFlashLab1.Caption = *file;
  if (!notice.empty()) ctx_.Log.Append(notice);
  ViewSpi();
}

std::optional<FlashType> SpiFlashPage::Identify(SpiFlashBus& bus) {
  const JedecId id = bus.ReadId();
  if (id == JedecId{0xFF, 0xFF, 0xFF} || id == JedecId{0, 0, 0}) {
    ctx_.Log.Append("Ошибка: микросхема SPI Flash не отвечает (ID " + JedecText(id) + ")");
    ctx_.MarkTargetFailed();
    return std::nullopt;
  }
  const IniFile types = IniFile::Load(ctx_.DescriptionFile(kTypesFile));
  // The type a person chose stays chosen when it shares the chip's ID with others.
  const auto chosen =
      types.HasSection(SpiFlashType.Text) ? ReadSpiFlashType(types, SpiFlashType.Text) : FlashTypeResult{};
  const auto section =
      chosen.Type && chosen.Type->Id == id ? std::optional(SpiFlashType.Text) : FindSpiFlashSection(types, id);
  if (!section) {
    ctx_.Log.Append("Ошибка: микросхемы с ID " + JedecText(id) + " нет в файле " + kTypesFile);
    ctx_.MarkTargetFailed();
    return std::nullopt;
  }
  for (std::size_t i = 0; i < SpiFlashType.Items.size(); ++i) {
    if (SpiFlashType.Items[i] == *section) SpiFlashType.Select(static_cast<int>(i));
  }
  SpiFlashType.Text = *section;
  const auto result = ReadSpiFlashType(types, *section);
  if (!result.Type) {
    RefuseInput(result.Problem);
    return std::nullopt;
  }
  ctx_.Log.Append("Микросхема: " + *section + ", ID " + JedecText(id) + ", " + std::to_string(result.Type->Size) +
                  " байт");
  ViewSpi();
  return result.Type;
}

bool SpiFlashPage::Unprotect(SpiFlashBus& bus, const FlashType& type, const char* cancelled) {
  const std::uint8_t status = bus.ReadStatus();
  const std::uint8_t bits = status & type.StatusProtect;
  if (bits == 0) return true;
  ctx_.Log.Append("Микросхема защищена от записи: биты защиты 0x" + HexDigits(bits, 2) + " в регистре состояния");
  if (!ctx_.Host.AskYesNo("SPI Flash", "Микросхема защищена от записи. Снять защиту?")) {
    ctx_.Log.Append(std::string("Защита не снята; ") + cancelled);
    return false;
  }
  const std::uint8_t cleared = status & static_cast<std::uint8_t>(~(type.StatusProtect | type.StatusBusy | 0x02));
  // A status write takes up to 15 ms on the listed chips; 100 ms leaves room for any of them.
  const bool done = bus.Write(std::array<std::uint8_t, 2>{0x01, cleared}, {15'000, 100'000});
  if (done && (bus.ReadStatus() & type.StatusProtect) == 0) {
    ctx_.Log.Append("Защита снята");
    return true;
  }
  ctx_.Log.Append(std::string("Ошибка: защита не снимается (вывод /WP или бит защиты регистра состояния); ") +
                  cancelled);
  ctx_.MarkTargetFailed();
  return false;
}

void SpiFlashPage::Busy(std::uint32_t address, const char* consequence) {
  ctx_.Log.Append("Ошибка: микросхема занята дольше наибольшего времени по её описанию (адрес 0x" +
                  HexDigits(address, 6) + "), " + consequence);
  ctx_.MarkTargetFailed();
}

void SpiFlashPage::RefuseInput(const std::string& problem) {
  ctx_.Log.Append(problem);
  ctx_.MarkInputRefused();
}

void SpiFlashPage::SetProgress(int max) {
  SpiProgress.Min = 0;
  SpiProgress.Max = max;
  MoveProgress(0);
}

void SpiFlashPage::MoveProgress(int position) {
  SpiProgress.Position = position;
  ctx_.Host.RepaintProgress(SpiProgress);
  ctx_.Host.ProcessEvents();
}

}  // namespace pw
