// Writing a file: per chunk, erase only the sectors where a bit must rise (the whole block with
// one command when every sector must), program only the pages that need it, then verify what
// changed: every chunk erased in, whole, and the programmed pages of the others. A chunk the
// plan's read found equal to the file is not read again. A chunk the file fills whose first page
// is blank, or must be erased, is programmed (after an erase of the whole chunk) without a plan's
// read and read back at once instead. A stop request is
// looked at between the exchanges of a chunk's read, between erases and between the exchanges
// of its pages.

#include <algorithm>
#include <array>
#include <vector>

#include "frame/DamagedFile.h"
#include "frame/PartialWrite.h"
#include "frame/Texts.h"
#include "spi/SpiFlashOperations.h"
#include "spi/SpiFlashPlan.h"
#include "spi/SpiFlashTexts.h"

namespace pw {
namespace {

constexpr std::uint8_t kPageProgram = 0x02;
/// Auto-address-increment word program: with an address and two bytes it starts a sequence,
/// with two bytes alone it continues it; Write Disable ends it.
constexpr std::uint8_t kAaiWord = 0xAD;
constexpr std::uint8_t kWriteDisable = 0x04;

/// One write of an image's chunks, and what it did for the summary line.
class ChunkWriter {
 public:
  ChunkWriter(OperationRun& run, SpiFlashBus& bus, const FlashType& type, const SpiFlashImage& image,
              PartialWrite& partial)
      : run_(run), bus_(bus), type_(type), image_(image), partial_(partial) {}

  /// Writes every chunk holding file bytes, stopping between pages when asked; false when it
  /// stopped or the chip failed (logged, marked).
  bool WriteAll() {
    const std::uint32_t chunk = SpiChunkBytes(type_);
    const auto chunks = SpiFileChunks(image_, chunk);
    total_ = static_cast<std::int64_t>(chunks.size());
    run_.StartProgress(total_);
    for (std::size_t c = 0; c < chunks.size(); ++c) {
      done_ = static_cast<std::int64_t>(c);
      if (c > 0 && !GoOn()) return false;
      if (!WriteChunk(chunks[c], chunk)) return false;
      run_.Progress(done_ + 1);
    }
    run_.Log("стёрто: " + std::to_string(erased_) + ", записано страниц: " + std::to_string(programmed_) +
             ", уже совпадало: " + std::to_string(skipped_));
    return true;
  }

  /// What the write changed: the bytes outside the file that the chunks erased in held, which
  /// they must hold again, and the spans the verify must read back.
  const SpiWritten& Written() const { return written_; }

 private:
  /// Whether to go on, looked at between pages and erases: false once a stop was asked (logged).
  bool GoOn() {
    stopped_ = run_.StopRequested(texts::Undone(done_, total_, "блоков SPI Flash") + texts::kStoppedWrite);
    return !stopped_;
  }

  bool WriteChunk(std::uint32_t base, std::uint32_t chunk) {
    std::vector<std::uint8_t> chip(chunk, 0xFF);
    if (!SpiFillsChunk(image_, base, chunk)) return PlanAndWrite(base, chip, 0);
    // A chunk the file fills is judged by its first page: blank, it is taken for a new chip's;
    // needing an erase, for another file's. Either way reading it to plan would cost as long
    // again as programming it, and the read-back after shows where the guess was wrong.
    const std::uint32_t probe = std::min(type_.PageSize, chunk);
    if (!ReadPart(base, chip, 0, probe)) return false;
    const auto first = std::span(chip).first(probe);
    if (std::all_of(first.begin(), first.end(), [](std::uint8_t b) { return b == 0xFF; })) {
      return WriteGuessed(base, chip, false);
    }
    const auto wanted = std::span(image_.Bytes).subspan(base, probe);
    const SpiSectorPlan plan = PlanSector(first, wanted, probe);
    return plan.Erase ? WriteGuessed(base, chip, true) : PlanAndWrite(base, chip, probe);
  }

  /// Reads what of the chunk the plan needs (beyond the known bytes already in chip), then
  /// erases and programs only what must change.
  bool PlanAndWrite(std::uint32_t base, std::vector<std::uint8_t>& chip, std::uint32_t known) {
    // The sectors holding file bytes are read first: when none of them must be erased, the rest
    // of the chunk stays as it is and need not be known.
    const auto chunk = static_cast<std::uint32_t>(chip.size());
    const SpiSpan span = SpiFilledSpan(image_, base, chunk, type_.Sector.Bytes);
    if (!ReadPart(base, chip, std::max(span.First, known), span.End)) return false;
    std::vector<std::uint8_t> wanted = SpiWantedChunk(image_, base, chip);
    std::vector<SpiSectorPlan> plans = PlanChunk(type_, chip, wanted);
    if (std::any_of(plans.begin(), plans.end(), [](const SpiSectorPlan& p) { return p.Erase; })) {
      if (!ReadPart(base, chip, 0, span.First) || !ReadPart(base, chip, span.End, chunk)) return false;
      wanted = SpiWantedChunk(image_, base, chip);
      plans = PlanChunk(type_, chip, wanted);
      KeepChunk(written_.Kept, image_, base, wanted);
    }
    NoteChanged(base, plans);
    return WritePlans(base, plans, wanted);
  }

  /// Programs a chunk taken for blank, or erased whole first, then reads it back whole: that read
  /// is its verify. Where it was not blank after all (or a cell failed), the chunk is planned
  /// again from what it then holds, written so, and read back by the verify.
  bool WriteGuessed(std::uint32_t base, std::vector<std::uint8_t>& chip, bool eraseFirst) {
    std::fill(chip.begin(), chip.end(), 0xFF);
    const std::vector<std::uint8_t> wanted = SpiWantedChunk(image_, base, chip);
    const auto plans = eraseFirst ? PlanErasedChunk(type_, wanted) : PlanChunk(type_, chip, wanted);
    if (!WritePlans(base, plans, wanted)) return false;
    if (!ReadPart(base, chip, 0, static_cast<std::uint32_t>(chip.size()))) return false;
    if (chip == wanted) return true;
    const std::vector<SpiSectorPlan> again = PlanChunk(type_, chip, wanted);
    NoteChanged(base, again);
    return WritePlans(base, again, wanted);
  }

  /// Notes for the verify the part of the chunk at base that plans change.
  void NoteChanged(std::uint32_t base, const std::vector<SpiSectorPlan>& plans) {
    const SpiSpan changed = SpiChangedSpan(plans, type_.Sector.Bytes, type_.PageSize);
    if (changed.End > changed.First) written_.Changed[base] = changed;
  }

  /// Reads the chunk's bytes from first up to end into chip, stopping between exchanges when asked.
  bool ReadPart(std::uint32_t base, std::vector<std::uint8_t>& chip, std::uint32_t first, std::uint32_t end) {
    if (first >= end) return true;
    return bus_.Read(base + first, std::span(chip).subspan(first, end - first), [this](std::size_t) { return GoOn(); });
  }

  /// Erases and programs the chunk at base as its sectors' plans say.
  bool WritePlans(std::uint32_t base, const std::vector<SpiSectorPlan>& plans,
                  const std::vector<std::uint8_t>& wanted) {
    const std::uint32_t sectorBytes = type_.Sector.Bytes;
    for (std::uint32_t s = 0; s < plans.size(); ++s) {
      const std::uint32_t sector = base + s * sectorBytes;
      const SpiSectorPlan& plan = plans[s];
      if (plan.BlockStart && !EraseAt(type_.Block.Command, sector, type_.BlockEraseMs)) return false;
      const bool ownErase = plan.Erase && !plan.BlockStart && !plan.InBlock;
      if (ownErase && !EraseAt(type_.Sector.Command, sector, type_.SectorEraseMs)) return false;
      if (!ProgramPages(sector, plan.Pages, std::span(wanted).subspan(s * sectorBytes, sectorBytes))) return false;
    }
    return true;
  }

  bool EraseAt(std::uint8_t command, std::uint32_t address, SpiFlashTime time) {
    if (!GoOn()) return false;
    partial_.Begun();
    if (!bus_.Write(bus_.Addressed(command, address), WaitMs(time))) return Failed(address);
    ++erased_;
    return true;
  }

  /// Programs pages (offsets in the sector at sector) with their bytes of wanted, the sector's.
  bool ProgramPages(std::uint32_t sector, const std::vector<std::uint32_t>& pages,
                    std::span<const std::uint8_t> wanted) {
    skipped_ += static_cast<int>(wanted.size() / type_.PageSize - pages.size());
    if (pages.empty()) return true;
    if (!GoOn()) return false;
    partial_.Begun();
    const std::size_t done = type_.Aai ? ProgramAai(sector, pages, wanted) : ProgramByPages(sector, pages, wanted);
    programmed_ += static_cast<int>(done);
    return done == pages.size() || (!stopped_ && Failed(sector + pages[done]));
  }

  /// Page programs of pages, as many to an exchange as fit; returns how many finished.
  std::size_t ProgramByPages(std::uint32_t sector, const std::vector<std::uint32_t>& pages,
                             std::span<const std::uint8_t> wanted) {
    std::vector<std::vector<std::uint8_t>> frames;
    for (const std::uint32_t page : pages) {
      frames.push_back(bus_.Addressed(kPageProgram, sector + page));
      const auto bytes = wanted.subspan(page, type_.PageSize);
      frames.back().insert(frames.back().end(), bytes.begin(), bytes.end());
    }
    return bus_.Program(frames, WaitUs(type_.PageProgramUs), [this] { return GoOn(); });
  }

  /// Each page one auto-address-increment sequence, ended by Write Disable also after a word
  /// that outlasted its time; returns how many pages finished.
  std::size_t ProgramAai(std::uint32_t sector, const std::vector<std::uint32_t>& pages,
                         std::span<const std::uint8_t> wanted) {
    const SpiFlashWait wait = WaitUs(type_.PageProgramUs);
    for (std::size_t k = 0; k < pages.size(); ++k) {
      if (k > 0 && !GoOn()) return k;
      const auto bytes = wanted.subspan(pages[k], type_.PageSize);
      std::vector<std::uint8_t> first = bus_.Addressed(kAaiWord, sector + pages[k]);
      first.insert(first.end(), bytes.begin(), bytes.begin() + 2);
      std::vector<std::vector<std::uint8_t>> words;
      for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) words.push_back({kAaiWord, bytes[i], bytes[i + 1]});
      const bool done = bus_.Write(first, wait) && bus_.ProgramContinued(words, wait) == words.size();
      const bool ended = bus_.Write(std::array<std::uint8_t, 1>{kWriteDisable}, wait, 0);
      if (!done || !ended) return k;
    }
    return pages.size();
  }

  bool Failed(std::uint32_t address) {
    run_.TargetFailed(texts::SpiStillBusy(address, "запись прервана"));
    return false;
  }

  OperationRun& run_;
  SpiFlashBus& bus_;
  const FlashType& type_;
  const SpiFlashImage& image_;
  PartialWrite& partial_;
  SpiWritten written_;
  std::int64_t done_ = 0;
  std::int64_t total_ = 0;
  bool stopped_ = false;
  int erased_ = 0;
  int programmed_ = 0;
  int skipped_ = 0;
};

}  // namespace

OperationStep SpiFlashOperations::Write(const SpiFlashImage& image, const Action& operation) {
  OperationStep step;
  step.CheckInputs = [&image] { return NoFile(image, texts::kSpiWriteCancelled); };
  step.CheckTarget = [this, &image] { return WriteRefusal(image); };
  step.Confirm = [this](OperationRun& run) { return ConfirmUnprotect(run, texts::kSpiWriteCancelled); };
  step.Act = [this, &image, operation](OperationRun& run) { ActWrite(run, image, operation); };
  return AskIfDamaged(std::move(step), image.Damaged);
}

Refusal SpiFlashOperations::WriteRefusal(const SpiFlashImage& image) const {
  if (type_->Writable) return FitsChip(image, texts::kSpiWriteCancelled);
  return "Ошибка: " + type_->Name + " программируется не страницами (Program в " + kSpiFlashTypesFile +
         "), запись не поддерживается, только чтение и сравнение; " + texts::kSpiWriteCancelled;
}

void SpiFlashOperations::ActWrite(OperationRun& run, const SpiFlashImage& image, const Action& operation) {
  SpiFlashBus bus = Bus(type_->StatusBusy);
  if (!Unprotect(run, bus, texts::kSpiWriteCancelled)) return;
  run.Log("прошивание SPI Flash: " + std::to_string(image.End) + " байт");
  PartialWrite partial(run.Out(), operation);
  ChunkWriter writer(run, bus, *type_, image, partial);
  InAddressMode(run, bus, [&] {
    if (!writer.WriteAll()) return;
    // Every byte has been sent: a difference found now is the chip's, not a write cut short.
    partial.Finished();
    if (VerifyImage(run, bus, image, &writer.Written())) run.Log("прошивание SPI Flash завершено");
  });
}

}  // namespace pw
