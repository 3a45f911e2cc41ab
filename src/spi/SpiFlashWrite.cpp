// Writing a file: per chunk, erase only the sectors where a bit must rise (the whole block with
// one command when every sector must), program only the pages that need it, then verify the
// file's bytes and the other bytes of every chunk erased in. A stop request is looked at between
// the exchanges of a chunk's read, between erases and between the exchanges of its pages.

#include <algorithm>
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

/// A command byte followed by a three-byte address.
std::vector<std::uint8_t> Addressed(std::uint8_t command, std::uint32_t address) {
  return {command, static_cast<std::uint8_t>(address >> 16), static_cast<std::uint8_t>(address >> 8),
          static_cast<std::uint8_t>(address)};
}

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

  /// The bytes outside the file that the chunks erased in held, which they must hold again.
  const SpiKeptBytes& Kept() const { return kept_; }

 private:
  /// Whether to go on, looked at between pages and erases: false once a stop was asked (logged).
  bool GoOn() {
    stopped_ = run_.StopRequested(texts::Undone(done_, total_, "блоков SPI Flash") + texts::kStoppedWrite);
    return !stopped_;
  }

  bool WriteChunk(std::uint32_t base, std::uint32_t chunk) {
    std::vector<std::uint8_t> chip(chunk);
    if (!bus_.Read(base, chip, [this](std::size_t) { return GoOn(); })) return false;
    const std::vector<std::uint8_t> wanted = SpiWantedChunk(image_, base, chip);
    const std::vector<SpiSectorPlan> plans = PlanChunk(type_, chip, wanted);
    if (std::any_of(plans.begin(), plans.end(), [](const SpiSectorPlan& p) { return p.Erase; })) {
      KeepChunk(kept_, image_, base, wanted);
    }
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
    if (!bus_.Write(Addressed(command, address), WaitMs(time))) return Failed(address);
    ++erased_;
    return true;
  }

  /// Programs pages (offsets in the sector at sector) with their bytes of wanted, the sector's.
  bool ProgramPages(std::uint32_t sector, const std::vector<std::uint32_t>& pages,
                    std::span<const std::uint8_t> wanted) {
    skipped_ += static_cast<int>(wanted.size() / type_.PageSize - pages.size());
    if (pages.empty()) return true;
    std::vector<std::vector<std::uint8_t>> frames;
    for (const std::uint32_t page : pages) {
      frames.push_back(Addressed(kPageProgram, sector + page));
      const auto bytes = wanted.subspan(page, type_.PageSize);
      frames.back().insert(frames.back().end(), bytes.begin(), bytes.end());
    }
    if (!GoOn()) return false;
    partial_.Begun();
    const std::size_t done = bus_.Program(frames, WaitUs(type_.PageProgramUs), [this] { return GoOn(); });
    programmed_ += static_cast<int>(done);
    return done == frames.size() || (!stopped_ && Failed(sector + pages[done]));
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
  SpiKeptBytes kept_;
  std::int64_t done_ = 0;
  std::int64_t total_ = 0;
  bool stopped_ = false;
  int erased_ = 0;
  int programmed_ = 0;
  int skipped_ = 0;
};

}  // namespace

OperationStep SpiFlashOperations::Write(const SpiFlashImage& image, std::string operation) {
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

void SpiFlashOperations::ActWrite(OperationRun& run, const SpiFlashImage& image, const std::string& operation) {
  SpiFlashBus bus = Bus(type_->StatusBusy);
  if (!Unprotect(run, bus, texts::kSpiWriteCancelled)) return;
  run.Log("прошивание SPI Flash: " + std::to_string(image.End) + " байт");
  PartialWrite partial(run.Out(), operation);
  ChunkWriter writer(run, bus, *type_, image, partial);
  if (!writer.WriteAll()) return;
  // Every byte has been sent: a difference found now is the chip's, not a write cut short.
  partial.Finished();
  if (VerifyImage(run, bus, image, &writer.Kept())) run.Log("прошивание SPI Flash завершено");
}

}  // namespace pw
