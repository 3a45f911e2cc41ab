// Writing a file: per chunk, erase only the sectors where a bit must rise (the whole block with
// one command when every sector must), program only the pages that need it, then verify.

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

  /// Writes every chunk holding file bytes, stopping between them when asked; false when it
  /// stopped or the chip failed (logged, marked).
  bool WriteAll() {
    const std::uint32_t chunk = SpiChunkBytes(type_);
    const auto chunks = SpiFileChunks(image_, chunk);
    const auto total = static_cast<std::int64_t>(chunks.size());
    run_.StartProgress(total);
    for (std::size_t c = 0; c < chunks.size(); ++c) {
      const auto done = static_cast<std::int64_t>(c);
      if (c > 0 && run_.StopRequested(texts::Undone(done, total, "блоков SPI Flash") + texts::kStoppedWrite)) {
        return false;
      }
      if (!WriteChunk(chunks[c], chunk)) return false;
      run_.Progress(done + 1);
    }
    run_.Log("стёрто: " + std::to_string(erased_) + ", записано страниц: " + std::to_string(programmed_) +
             ", уже совпадало: " + std::to_string(skipped_));
    return true;
  }

 private:
  bool WriteChunk(std::uint32_t base, std::uint32_t chunk) {
    std::vector<std::uint8_t> chip(chunk);
    bus_.Read(base, chip, nullptr);
    const std::vector<std::uint8_t> wanted = SpiWantedChunk(image_, base, chip);
    const std::vector<SpiSectorPlan> plans = PlanChunk(type_, chip, wanted);
    const std::uint32_t sectorBytes = type_.Sector.Bytes;
    const bool wholeBlock = type_.Block.Bytes > sectorBytes &&
                            std::all_of(plans.begin(), plans.end(), [](const SpiSectorPlan& p) { return p.Erase; });
    if (wholeBlock && !EraseAt(type_.Block.Command, base, type_.BlockEraseMs)) return false;
    for (std::uint32_t s = 0; s < plans.size(); ++s) {
      const std::uint32_t sector = base + s * sectorBytes;
      if (plans[s].Erase && !wholeBlock && !EraseAt(type_.Sector.Command, sector, type_.SectorEraseMs)) return false;
      if (!ProgramPages(sector, plans[s].Pages, std::span(wanted).subspan(s * sectorBytes, sectorBytes))) return false;
    }
    return true;
  }

  bool EraseAt(std::uint8_t command, std::uint32_t address, SpiFlashTime time) {
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
    partial_.Begun();
    const std::size_t done = bus_.Program(frames, WaitUs(type_.PageProgramUs));
    programmed_ += static_cast<int>(done);
    return done == frames.size() || Failed(sector + pages[done]);
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
  if (!ChunkWriter(run, bus, *type_, image, partial).WriteAll()) return;
  // Every byte has been sent: a difference found now is the chip's, not a write cut short.
  partial.Finished();
  if (VerifyImage(run, bus, image)) run.Log("прошивание SPI Flash завершено");
}

}  // namespace pw
