// Identification of the chip on the AVR header.

#include "avr/AvrChip.h"
#include "avr/AvrTexts.h"
#include "ini/IniFile.h"

namespace pw {
namespace {

/// chips.ini, or nothing when it cannot serve (missing, unreadable, without sections): the log
/// says which.
std::optional<IniFile> LoadChipsIni(const std::filesystem::path& file, OperationRun& run) {
  IniFile chips = IniFile::Load(file);
  std::string problem;
  if (!chips.LoadError().empty()) {
    problem = chips.LoadError();
  } else if (!chips.Exists()) {
    problem = std::string("Ошибка: ") + kNoIniText;
  } else if (chips.SectionNames().empty()) {
    // An empty file would make every chip "неизвестный" without a word about why.
    problem = std::string("Ошибка! В файле ") + kChipsIniName + " нет ни одного раздела";
  } else if (auto fault = ChipsIniFault(chips)) {
    // A value that is no number would read as 0 and serve a chip with a geometry nobody wrote.
    problem = *fault;
  }
  if (problem.empty()) return chips;
  run.Log(problem);
  return std::nullopt;
}

void ReportChip(const AvrChip& chip, OperationRun& run) {
  // 512 words are one kibibyte.
  run.Log("Объём флеши: " + std::to_string(chip.FlashWords() / 512) + " Кбайт");
  run.Log("Объём Еепром: " + texts::AvrSizeText(chip.EepromBytes()));
  run.Log("сигнатура: " + chip.Signature);
  run.Log("чип: " + chip.Description.Chip);
}

/// Programming Enable twice, the second one's echo counting; replies gets the bytes of every attempt.
bool EnterTwice(AVRUtils& avr, std::vector<std::array<std::uint8_t, 4>>& replies) {
  avr.AvrProgEnable();
  replies = avr.EntryReplies();
  const bool answers = avr.AvrProgEnable();
  replies.insert(replies.end(), avr.EntryReplies().begin(), avr.EntryReplies().end());
  return answers;
}

}  // namespace

AvrChip IdentifyAvrChip(AVRUtils& avr, const std::filesystem::path& chipsIni, OperationRun& run, bool report) {
  AvrChip chip;
  std::vector<std::array<std::uint8_t, 4>> replies;
  chip.Answers = EnterTwice(avr, replies);
  const std::uint8_t s0 = avr.AvrReadSignatureByte(0);
  const std::uint8_t s1 = avr.AvrReadSignatureByte(1);
  const std::uint8_t s2 = avr.AvrReadSignatureByte(2);
  chip.Evidence = {.EntryReplies = std::move(replies), .Answers = chip.Answers, .Signature = {s0, s1, s2}};
  chip.Fuses = avr.AvrReadFuseBytes();
  const std::optional<IniFile> chips = LoadChipsIni(chipsIni, run);
  // A chips.ini that is there but refused still lets the signature be shown as it is.
  std::error_code ec;
  chip.Signature = chips || std::filesystem::exists(chipsIni, ec) ? SignatureText(s0, s1, s2) : kNoIniText;
  chip.Description = ReadChipDescription(chips ? *chips : IniFile{}, chip.Signature);
  // Every section of a loaded chips.ini is sound: a section there serves its chip.
  chip.Usable = chip.Description.FlashPagesCount != 0;
  // A chip the program cannot serve gets the safe waits.
  chip.Delays = chip.Usable ? WriteDelays(chip.Description) : AvrWriteDelays{};
  avr.Delays = chip.Delays;
  avr.ExtendedFlash = chip.Usable && chip.FlashWords() > static_cast<std::int64_t>(AVRUtils::kFlashBankWords);
  if (report) ReportChip(chip, run);
  // A chip that answered with a signature chips.ini does not list: say so, not only "неизвестный".
  if (chips && chip.Answers && !chip.Usable) {
    run.Log(texts::AvrNotInChipsIni(chip.Signature));
    run.Log(texts::kAvrListHint);
  }
  if (chip.Usable) chip.Lock = avr.AvrReadLockByte();
  return chip;
}

}  // namespace pw
