#include "pic/PicPage.h"

#include <algorithm>
#include <exception>
#include <string>

#include "pic/Pic18Files.h"
#include "pic/PicFiles.h"
#include "pic/PicTexts.h"

namespace pw {
namespace {

/// Bytes set to 0xFF at start-up.
constexpr std::size_t kConfigStartBytes = 33;

}  // namespace

PicPage::PicPage(FormContext& context) : PageModel(context) {
  // No type yet: no method to write or erase with.
  type_.ProgrammType = PicProgramming::Unknown;
  type_.EraseType = PicErase::Nothing;
  for (int i = 0; i < 32; ++i) {
    const Bounds box{8 + (i / 8) * 86, 18 + (i % 8) * 17, 82, 16};
    PicFuse.emplace_back("PicFuse" + std::to_string(i + 1), "PicConfigGroup", box, "");
  }
}

void PicPage::Startup() {
  auto& config = ctx_.Images.ConfigImage;
  std::fill(config.begin(), config.begin() + kConfigStartBytes, std::uint8_t{0xFF});
  type_.FlashSize = 0;
  type_.EepromSize = 0;
  PicType.Items = IniFile::Load(ctx_.DescriptionFile(kPicTypesFile)).SectionNames();
  PicType.Select(0);
}

std::vector<ControlRef> PicPage::Controls() {
  std::vector<ControlRef> list = {&PIC,       &PicType,     &PicFile,    &PicReadDump, &PicEraseAll,    &PicWriteDump,
                                  &PicVerify, &PicPathFls,  &PicFlash,   &PicParamFls, &PicReadFls,     &PicWriteFls,
                                  &PicEeprom, &PicParamEep, &PicReadEep, &PicWriteEep, &PicProgress,    &PicIDGroup,
                                  &PicID,     &PicGroupDop, &PicDop,     &Edit1,       &PicConfigGroup, &PicFuseGroup};
  for (auto& fuse : PicFuse) list.push_back(&fuse);
  list.push_back(&PicReadFuse);
  list.push_back(&PicWriteFuse);
  return list;
}

void PicPage::ShowPicType() {
  type_ = ReadPicType(IniFile::Load(ctx_.DescriptionFile(kPicTypesFile)), PicType.Text);
  ShowFuseGroups();
  ShowFuseCaptions();
  PicID.Text = IdText(7, "$");
  PicReadEep.Enabled = type_.EepromSize != 0;
  PicWriteEep.Enabled = type_.EepromSize != 0;
}

void PicPage::ShowFuseGroups() {
  const std::size_t groups = PicConfigGroups(type_);
  // Ticks not yet taken belong to the group they were made in, not to the one shown next.
  if (const std::size_t shown = std::min(fuseGroup_, groups - 1); shown != fuseGroup_) {
    TakePicConfig();
    fuseGroup_ = shown;
    ShowPicConfig();
  }
  PicFuseGroup.Enabled = groups > 1;
  PicFuseGroup.ClearItems();
  PicFuseGroup.Text.clear();
  if (groups == 1) return;
  for (std::size_t g = 0; g < groups; ++g) PicFuseGroup.Items.emplace_back(texts::kPicConfigGroups[g]);
  PicFuseGroup.Select(static_cast<int>(fuseGroup_));
}

void PicPage::ShowFuseCaptions() {
  for (std::size_t i = 0; i < PicFuse.size(); ++i) {
    const std::size_t n = kPicPanelBits * fuseGroup_ + i;
    const bool named = type_.Named(n);  // exactly "NONE", case and all, is no name
    PicFuse[i].Caption = named ? type_.FusesNames[n] : "";
    PicFuse[i].Enabled = named;
  }
}

std::string PicPage::IdText(int words, const char* prefix) const {
  const auto& config = ctx_.Images.ConfigImage;
  return PicIsPic18(type_) ? PicIdBytes(config, prefix) : PicIdWords(config, words, prefix);
}

void PicPage::ShowPicConfig() {
  const auto& config = ctx_.Images.ConfigImage;
  for (std::size_t i = 0; i < PicFuse.size(); ++i) {
    const std::size_t n = kPicPanelBits * fuseGroup_ + i;
    PicFuse[i].Checked = ((config[kPicConfigWordByte + n / 8] >> (n % 8)) & 1) != 0;
  }
  PicID.Text = IdText(6, "");
}

void PicPage::TakePicConfig() {
  auto& config = ctx_.Images.ConfigImage;
  const std::size_t first = kPicPanelBits / 8 * fuseGroup_;
  // The last group of a PIC18 part holds two configuration bytes only.
  for (std::size_t k = 0; k < 4 && first + k < kPicConfigBytes; ++k) {
    unsigned byte = 0;
    for (std::size_t b = 0; b < 8; ++b) {
      if (PicFuse[8 * k + b].Checked) byte |= 1u << b;
    }
    config[kPicConfigWordByte + first + k] = static_cast<std::uint8_t>(byte);
  }
}

void PicPage::PicFuseGroupChange() {
  if (PicFuseGroup.ItemIndex < 0) return;
  TakePicConfig();
  fuseGroup_ = static_cast<std::size_t>(PicFuseGroup.ItemIndex);
  ShowFuseCaptions();
  ShowPicConfig();
}

void PicPage::PICShow() {
  ShowPicType();
  LogTypeProblem();
  ShowPicConfig();
}

void PicPage::PicTypeChange() {
  ShowPicType();
  LogTypeProblem();
  // The file shown was read with the other family's layout: its data stand elsewhere for this type.
  if (fileIsPic18_ && *fileIsPic18_ != PicIsPic18(type_)) {
    LoadFile(PicPathFls.Caption);
    return ShowPicConfig();
  }
  PlaceFileWords();
}

void PicPage::PlaceFileWords() {
  if (!PlacePicWords(ctx_.Images, type_)) return;
  ShowFileParams();
  ShowPicConfig();
}

void PicPage::LogTypeProblem() {
  if (!type_.Problem.empty()) ctx_.Log.Append(type_.Problem);
}

void PicPage::PicFileClick() {
  if (const auto file = ctx_.Host.ChooseOpenFile("hex|*.hex")) LoadFile(*file);
  ShowPicType();
  ShowPicConfig();
}

void PicPage::LoadFile(const std::string& file) {
  const std::string previousPath = PicPathFls.Caption;
  PicPathFls.Caption = file;
  ctx_.Log.Append(texts::PicFileLine(file));
  if (OnFileLoaded) OnFileLoaded();
  std::string notice;
  try {
    notice = PicFileLoader(type_)(file, ctx_.Images);
  } catch (const std::exception&) {
    // The images still hold the previous file: the label must not name the refused one.
    PicPathFls.Caption = previousPath;
    throw;
  }
  fileIsPic18_ = PicIsPic18(type_);
  if (!notice.empty()) ctx_.Log.Append(notice);
  PlacePicWords(ctx_.Images, type_);
  ShowFileParams();
}

void PicPage::ShowFileParams() {
  const auto& images = ctx_.Images;
  PicParamFls.Caption =
      texts::PicProgramMemoryText(type_.FlashSize, 2 * static_cast<std::int64_t>(images.FlashDataCount));
  PicParamEep.Caption = texts::PicDataMemoryText(type_.EepromSize, images.EepromDataCount / 2);
}

}  // namespace pw
