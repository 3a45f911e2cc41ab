#include "pic/PicPage.h"

#include <algorithm>
#include <exception>
#include <string>

#include "common/HexDigits.h"
#include "frame/ImageFiles.h"

namespace pw {
namespace {

/// Configuration-panel bytes: ConfigImage[14 .. 17] hold words 0x2007 and 0x2008.
constexpr std::size_t kFuseBytes = 14;
/// Bytes set to 0xFF at start-up.
constexpr std::size_t kConfigStartBytes = 33;

/// The ID words 0 .. count - 1 of the configuration area as text, high byte first.
std::string IdWords(const std::vector<std::uint8_t>& config, int count, const char* prefix) {
  std::string text;
  for (int j = 0; j < count; ++j) {
    text += prefix + HexDigits(config[static_cast<std::size_t>(2 * j + 1)], 2) +
            HexDigits(config[static_cast<std::size_t>(2 * j)], 2) + " ";
  }
  return text;
}

}  // namespace

PicPage::PicPage(FormContext& context) : Utils(context.Unit), ctx_(context) {
  for (int i = 0; i < 32; ++i) {
    const Bounds box{8 + (i / 8) * 86, 18 + (i % 8) * 17, 82, 16};
    PicFuse.emplace_back("PicFuse" + std::to_string(i + 1), "PicConfigGroup", box, "");
  }
  PIC.OnShow = [this] { PICShow(); };
  PicType.OnChange = [this] { PicTypeChange(); };
  PicFile.OnClick = [this] { PicFileClick(); };
  PicReadFuse.OnClick = [this] { PicReadFuseClick(); };
  PicWriteFuse.OnClick = [this] { PicWriteFuseClick(); };
  PicReadDump.OnClick = [this] { PicReadDumpClick(); };
  PicWriteDump.OnClick = [this] { PicWriteDumpClick(); };
  PicWriteFls.OnClick = [this] { PicWriteFlsClick(); };
  PicWriteEep.OnClick = [this] { PicWriteEepClick(); };
  PicEraseAll.OnClick = [this] { PicEraseAllClick(); };
}

void PicPage::Startup() {
  auto& config = ctx_.Images.ConfigImage;
  std::fill(config.begin(), config.begin() + kConfigStartBytes, std::uint8_t{0xFF});
  FlashSize = 0;
  EepromSize = 0;
  PicType.Items = IniFile::Load(ctx_.DescriptionFile(kTypesFile)).SectionNames();
  PicType.Select(0);
}

std::vector<ControlRef> PicPage::Controls() {
  std::vector<ControlRef> list = {&PIC,         &PicType,    &PicFile,     &PicReadDump,   &PicEraseAll, &PicWriteDump,
                                  &PicPathFls,  &PicFlash,   &PicParamFls, &PicReadFls,    &PicWriteFls, &PicEeprom,
                                  &PicParamEep, &PicReadEep, &PicWriteEep, &PicProgress,   &PicIDGroup,  &PicID,
                                  &PicGroupDop, &PicDop,     &Edit1,       &PicConfigGroup};
  for (auto& fuse : PicFuse) list.push_back(&fuse);
  list.push_back(&PicReadFuse);
  list.push_back(&PicWriteFuse);
  return list;
}

void PicPage::ShowPicType() {
  const PicTypeValues type = ReadPicType(IniFile::Load(ctx_.DescriptionFile(kTypesFile)), PicType.Text);
  FlashSize = type.FlashSize;
  EepromSize = type.EepromSize;
  ProgrammType = type.ProgrammType;
  EnterType = type.EnterType;
  EraseType = type.EraseType;
  Osccal = type.Osccal;
  ProgramMs = type.ProgramMs;
  for (std::size_t n = 0; n < PicFuse.size(); ++n) {
    const bool named = type.FusesNames[n] != PicTypeValues::kNoName;  // exactly "NONE", case and all
    PicFuse[n].Caption = named ? type.FusesNames[n] : "";
    PicFuse[n].Enabled = named;
  }
  PicID.Text = IdWords(ctx_.Images.ConfigImage, 7, "$");
  PicReadEep.Enabled = EepromSize != 0;
  PicWriteEep.Enabled = EepromSize != 0;
}

void PicPage::ShowPicConfig() {
  const auto& config = ctx_.Images.ConfigImage;
  for (std::size_t n = 0; n < PicFuse.size(); ++n)
    PicFuse[n].Checked = ((config[kFuseBytes + n / 8] >> (n % 8)) & 1) != 0;
  PicID.Text = IdWords(config, 6, "");
}

void PicPage::TakePicConfig() {
  auto& config = ctx_.Images.ConfigImage;
  for (std::size_t k = 0; k < 4; ++k) {
    unsigned byte = 0;
    for (std::size_t b = 0; b < 8; ++b) {
      if (PicFuse[8 * k + b].Checked) byte |= 1u << b;
    }
    config[kFuseBytes + k] = static_cast<std::uint8_t>(byte);
  }
}

void PicPage::PICShow() {
  ShowPicType();
  ShowPicConfig();
}

void PicPage::PicTypeChange() { ShowPicType(); }

void PicPage::PicFileClick() {
  if (const auto file = ctx_.Host.ChooseOpenFile("hex|*.hex")) {
    const std::string previousPath = PicPathFls.Caption;
    PicPathFls.Caption = *file;
    ctx_.Log.Append("файл : " + *file);
    if (OnFileLoaded) OnFileLoaded();
    try {
      LoadPicFile(PicPathFls.Caption, ctx_.Images);
    } catch (const std::exception&) {
      // The images still hold the previous file: the label must not name the refused one.
      PicPathFls.Caption = previousPath;
      throw;
    }
    ShowFileParams();
  }
  ShowPicType();
  ShowPicConfig();
}

void PicPage::ShowFileParams() {
  const auto& images = ctx_.Images;
  PicParamFls.Caption = "Объём флеши " + std::to_string(FlashSize) + "байт\r\nДанных в буфере " +
                        std::to_string(2 * static_cast<std::int64_t>(images.FlashDataCount)) + " байт\r\n";
  PicParamEep.Caption = "Объём флеши " + std::to_string(EepromSize) + " байт\r\nДанных в буфере " +
                        std::to_string(images.EepromDataCount / 2) + " байт\r\n";
}

std::int32_t PicPage::ProgramWaitCount() const {
  // waitCount / 35 idle samples at 16 × baud samples a second: ProgrammerBaud alone lasts
  // 1.79 ms whatever the baud, shorter than most of these chips' write cycles, which would then
  // be cut short on the chip and fail their verify.
  const std::int64_t baud = ctx_.ProgrammerBaud;
  const std::int64_t samplesPerSecond = 16 * baud;
  const std::int64_t needed =
      (static_cast<std::int64_t>(ProgramMs) * samplesPerSecond + 999) / 1000 * PICUtils::kWaitDivisor;
  return static_cast<std::int32_t>(std::min<std::int64_t>(std::max(baud, needed), INT32_MAX));
}

}  // namespace pw
