// The operations that move data between the chip and the files.

#include <algorithm>
#include <array>

#include "common/HexDigits.h"
#include "frame/ImageDifferences.h"
#include "frame/ReadClose.h"
#include "frame/Texts.h"
#include "link/ProgrammerConnection.h"
#include "link/ProgrammerSession.h"
#include "model/WindowReporter.h"
#include "spi/SpiFlashPage.h"
#include "spi/SpiFlashPlan.h"

namespace pw {
namespace {

constexpr std::uint8_t kPageProgram = 0x02;
constexpr std::uint8_t kBusyDefault = 0x01;

/// A command byte followed by a three-byte address.
std::vector<std::uint8_t> Addressed(std::uint8_t command, std::uint32_t address) {
  return {command, static_cast<std::uint8_t>(address >> 16), static_cast<std::uint8_t>(address >> 8),
          static_cast<std::uint8_t>(address)};
}

SpiFlashWait Millis(SpiFlashTime t) { return {std::uint64_t{t.Typical} * 1000, std::uint64_t{t.Maximum} * 1000}; }
SpiFlashWait Micros(SpiFlashTime t) { return {t.Typical, t.Maximum}; }

/// The aligned unit a write reads, plans and verifies at a time: a block, at least one sector.
std::uint32_t ChunkOf(const FlashType& type) { return std::max(type.Block.Bytes, type.Sector.Bytes); }

}  // namespace

std::vector<std::uint32_t> SpiFlashPage::FileChunks(std::uint32_t chunk) const {
  std::vector<std::uint32_t> chunks;
  for (std::uint32_t start = 0; start < image_.End; start += chunk) {
    const auto first = image_.Filled.begin() + start;
    if (std::find(first, first + std::min(chunk, image_.End - start), true) !=
        first + std::min(chunk, image_.End - start)) {
      chunks.push_back(start);
    }
  }
  return chunks;
}

void SpiFlashPage::SpiFlashIdentify() {
  ProgrammerSession session(ctx_.Unit, kModeSpiFlash, ctx_.ProgrammerBaud);
  SpiFlashBus bus(ctx_.Unit, ctx_.ProgrammerBaud, kBusyDefault);
  if (const auto type = Identify(bus)) {
    const std::uint8_t protect = bus.ReadStatus() & type->StatusProtect;
    if (protect != 0) ctx_.Log.Append("Микросхема защищена от записи: биты защиты 0x" + HexDigits(protect, 2));
  }
  session.Close();
}

void SpiFlashPage::SpiFlashReadClick() {
  const auto file = ctx_.Host.ChooseSaveFile("hex|*.hex|bin|*.bin", "hex");
  if (!file) return;
  ctx_.Log.Append("файл.SPI Flash: " + *file);
  ProgrammerSession session(ctx_.Unit, kModeSpiFlash, ctx_.ProgrammerBaud);
  SpiFlashBus bus(ctx_.Unit, ctx_.ProgrammerBaud, kBusyDefault);
  const auto type = Identify(bus);
  bool saved = false;
  if (type) {
    ctx_.Log.Append("чтение SPI Flash");
    SetProgress(static_cast<int>(type->Size));
    std::vector<std::uint8_t> bytes(type->Size);
    if (ReadChip(bus, bytes)) {
      SaveSpiFlashImage(*file, bytes);
      saved = true;
      ctx_.Log.Append("чтение SPI Flash завершено");
    }
    MoveProgress(0);
  }
  WindowReporter closing(ctx_);
  CloseAfterRead(session, closing, saved ? std::optional<std::string>(*file) : std::nullopt);
}

bool SpiFlashPage::ReadChip(SpiFlashBus& bus, std::span<std::uint8_t> bytes) {
  // Read in long pieces so that a stop request is seen between them; each piece streams.
  constexpr std::size_t kPiece = 0x10000;
  for (std::size_t at = 0; at < bytes.size(); at += kPiece) {
    if (at > 0 && ctx_.StopRequested(texts::Undone(static_cast<std::int64_t>(at),
                                                   static_cast<std::int64_t>(bytes.size()), "байт SPI Flash") +
                                     texts::kStoppedRead)) {
      return false;
    }
    const std::size_t n = std::min(kPiece, bytes.size() - at);
    bus.Read(static_cast<std::uint32_t>(at), bytes.subspan(at, n),
             [this, at](std::size_t done) { MoveProgress(static_cast<int>(at + done)); });
  }
  return true;
}

void SpiFlashPage::SpiFlashWriteClick() {
  if (image_.End == 0) return RefuseInput("Ошибка: файл не загружен; запись отменена");
  ProgrammerSession session(ctx_.Unit, kModeSpiFlash, ctx_.ProgrammerBaud);
  SpiFlashBus probe(ctx_.Unit, ctx_.ProgrammerBaud, kBusyDefault);
  const auto type = Identify(probe);
  if (!type) return session.Close();
  if (!type->Writable) {
    RefuseInput("Ошибка: " + type->Name + " программируется не страницами (Program в " + kTypesFile +
                "), запись не поддерживается, только чтение и сравнение; запись отменена");
    return session.Close();
  }
  if (image_.End > type->Size) {
    RefuseInput("Ошибка: данных в файле " + std::to_string(image_.End) + " байт, а объём микросхемы " +
                std::to_string(type->Size) + " байт; запись отменена");
    return session.Close();
  }
  SpiFlashBus bus(ctx_.Unit, ctx_.ProgrammerBaud, type->StatusBusy);
  if (!Unprotect(bus, *type, "запись отменена")) return session.Close();
  ctx_.Log.Append("прошивание SPI Flash: " + std::to_string(image_.End) + " байт");
  WindowReporter out(ctx_);
  PartialWrite partial(out, SpiFlashWrite.Caption);
  if (!WriteImage(bus, *type, partial)) return session.Close();
  // Every byte has been sent: a difference found now is the chip's, not a write cut short.
  partial.Finished();
  if (VerifyImage(bus, *type)) ctx_.Log.Append("прошивание SPI Flash завершено");
  session.Close();
  MoveProgress(0);
}

bool SpiFlashPage::WriteImage(SpiFlashBus& bus, const FlashType& type, PartialWrite& partial) {
  const std::uint32_t chunk = ChunkOf(type);
  const auto chunks = FileChunks(chunk);
  SetProgress(static_cast<int>(chunks.size()));
  int erased = 0;
  int programmed = 0;
  int skipped = 0;
  std::vector<std::uint8_t> chip(chunk);
  for (std::size_t c = 0; c < chunks.size(); ++c) {
    if (c > 0 && ctx_.StopRequested(texts::Undone(static_cast<std::int64_t>(c),
                                                  static_cast<std::int64_t>(chunks.size()), "блоков SPI Flash") +
                                    texts::kStoppedWrite)) {
      return false;
    }
    const std::uint32_t base = chunks[c];
    bus.Read(base, chip, nullptr);
    // What the chunk must hold: the file's bytes over the chip's own, which a sector erase
    // would otherwise lose.
    std::vector<std::uint8_t> wanted = chip;
    for (std::uint32_t i = 0; i < chunk && base + i < image_.End; ++i) {
      if (image_.Filled[base + i]) wanted[i] = image_.Bytes[base + i];
    }
    std::vector<SpiSectorPlan> plans;
    for (std::uint32_t s = 0; s < chunk; s += type.Sector.Bytes) {
      plans.push_back(PlanSector(std::span(chip).subspan(s, type.Sector.Bytes),
                                 std::span(wanted).subspan(s, type.Sector.Bytes), type.PageSize));
    }
    const bool wholeBlock = type.Block.Bytes > type.Sector.Bytes &&
                            std::all_of(plans.begin(), plans.end(), [](const SpiSectorPlan& p) { return p.Erase; });
    if (wholeBlock) {
      partial.Begun();
      if (!bus.Write(Addressed(type.Block.Command, base), Millis(type.BlockEraseMs)))
        return Busy(base, "запись прервана"), false;
      ++erased;
    }
    for (std::size_t s = 0; s < plans.size(); ++s) {
      const std::uint32_t sector = base + static_cast<std::uint32_t>(s) * type.Sector.Bytes;
      if (plans[s].Erase && !wholeBlock) {
        partial.Begun();
        if (!bus.Write(Addressed(type.Sector.Command, sector), Millis(type.SectorEraseMs)))
          return Busy(sector, "запись прервана"), false;
        ++erased;
      }
      skipped += static_cast<int>(type.Sector.Bytes / type.PageSize - plans[s].Pages.size());
      std::vector<std::vector<std::uint8_t>> frames;
      for (const std::uint32_t page : plans[s].Pages) {
        const std::uint32_t at = sector + page;
        frames.push_back(Addressed(kPageProgram, at));
        frames.back().insert(frames.back().end(), wanted.begin() + (at - base),
                             wanted.begin() + (at - base + type.PageSize));
      }
      if (frames.empty()) continue;
      partial.Begun();
      const std::size_t done = bus.Program(frames, Micros(type.PageProgramUs));
      programmed += static_cast<int>(done);
      if (done < frames.size()) return Busy(sector + plans[s].Pages[done], "запись прервана"), false;
    }
    MoveProgress(static_cast<int>(c + 1));
  }
  ctx_.Log.Append("стёрто: " + std::to_string(erased) + ", записано страниц: " + std::to_string(programmed) +
                  ", уже совпадало: " + std::to_string(skipped));
  return true;
}

bool SpiFlashPage::VerifyImage(SpiFlashBus& bus, const FlashType& type) {
  ctx_.Log.Append("верификация SPI Flash");
  const std::uint32_t chunk = ChunkOf(type);
  const auto chunks = FileChunks(chunk);
  SetProgress(static_cast<int>(chunks.size()));
  std::vector<std::uint8_t> chip(chunk);
  ImageDifferences differences;
  for (std::size_t c = 0; c < chunks.size(); ++c) {
    if (c > 0 &&
        ctx_.StopRequested(texts::Undone(static_cast<std::int64_t>(c), static_cast<std::int64_t>(chunks.size()),
                                         "блоков проверки SPI Flash"))) {
      return false;
    }
    const std::uint32_t base = chunks[c];
    bus.Read(base, chip, nullptr);
    differences.Compare(image_.Bytes, image_.Filled, base, chip);
    MoveProgress(static_cast<int>(c + 1));
  }
  if (differences.Count() > 0) {
    ctx_.Log.Append("Ошибка: SPI Flash отличается от файла");
    for (const std::string& line : differences.Lines("байт", 2)) ctx_.Log.Append(line);
    ctx_.MarkTargetFailed();
    return false;
  }
  ctx_.Log.Append("верификация SPI Flash завершена: совпадает");
  return true;
}

void SpiFlashPage::SpiFlashVerify() {
  if (image_.End == 0) return RefuseInput("Ошибка: файл не загружен; сравнение отменено");
  ProgrammerSession session(ctx_.Unit, kModeSpiFlash, ctx_.ProgrammerBaud);
  SpiFlashBus bus(ctx_.Unit, ctx_.ProgrammerBaud, kBusyDefault);
  const auto type = Identify(bus);
  if (type && image_.End > type->Size) {
    RefuseInput("Ошибка: данных в файле " + std::to_string(image_.End) + " байт, а объём микросхемы " +
                std::to_string(type->Size) + " байт; сравнение отменено");
  } else if (type) {
    VerifyImage(bus, *type);
  }
  session.Close();
  MoveProgress(0);
}

void SpiFlashPage::SpiFlashEraseClick() {
  ProgrammerSession session(ctx_.Unit, kModeSpiFlash, ctx_.ProgrammerBaud);
  SpiFlashBus probe(ctx_.Unit, ctx_.ProgrammerBaud, kBusyDefault);
  const auto type = Identify(probe);
  if (!type) return session.Close();
  if (!ctx_.Host.AskYesNo("SPI Flash", "Стереть всю микросхему " + type->Name + "?")) return session.Close();
  SpiFlashBus bus(ctx_.Unit, ctx_.ProgrammerBaud, type->StatusBusy);
  if (!Unprotect(bus, *type, "стирание отменено")) return session.Close();
  ctx_.Log.Append("стирание SPI Flash");
  WindowReporter out(ctx_);
  PartialWrite partial(out, SpiFlashErase.Caption);
  partial.Begun();
  if (!bus.Write(std::array<std::uint8_t, 1>{type->ChipErase}, Millis(type->ChipEraseMs))) {
    Busy(0, "стирание прервано");
    return session.Close();
  }
  // A chip that ignored the command is not busy either: its first page tells.
  std::array<std::uint8_t, 256> first{};
  bus.Read(0, first, nullptr);
  if (std::any_of(first.begin(), first.end(), [](std::uint8_t b) { return b != 0xFF; })) {
    ctx_.Log.Append("Ошибка: после стирания микросхема не чиста (адрес 0x000000)");
    ctx_.MarkTargetFailed();
    return session.Close();
  }
  partial.Finished();
  ctx_.Log.Append("стирание SPI Flash завершено");
  session.Close();
}

}  // namespace pw
