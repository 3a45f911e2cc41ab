// The flash as the frame's target: identification by JEDEC ID, and the identify step.

#include "spi/SpiFlashOperations.h"

#include "common/HexDigits.h"
#include "d2xx/Wiring.h"
#include "frame/Texts.h"
#include "link/AutoBaud.h"
#include "link/SpiMode0.h"
#include "spi/SpiFlashDiagnosis.h"
#include "spi/SpiFlashSfdp.h"
#include "spi/SpiFlashTexts.h"

namespace pw {
namespace {

/// Lines floating high or held low: no chip answered.
bool Silent(const JedecId& id) { return id == JedecId{0xFF, 0xFF, 0xFF} || id == JedecId{0, 0, 0}; }

}  // namespace

SpiFlashOperations::SpiFlashOperations(D2XXUnit& unit, std::int32_t baud, std::filesystem::path typesFile,
                                       std::string chosen)
    : unit_(unit), baud_(baud), typesFile_(std::move(typesFile)), chosen_(std::move(chosen)) {}

FrameTarget SpiFlashOperations::Target() {
  return {kModeSpiFlash, baud_,
          [this](OperationRun& run) {
            if (!IdentifyChip(run)) return false;
            if (autoBaud_) ChooseBaud(run);
            return true;
          },
          ""};
}

void SpiFlashOperations::ChooseBaud(OperationRun& run) {
  const std::int64_t khz = std::int64_t{type_->ReadMHz} * 1000;
  baud_ = BaudForClock(khz * 1000, SpiMode0::kSamplesPerBit);
  SetLinkBaud(unit_, baud_);
  run.Log(texts::AutoBaudForPart(type_->Name, khz, baud_));
}

std::optional<std::string> SpiFlashOperations::ChooseSection(const IniFile& types, const JedecId& id) const {
  // The type a person chose stays chosen when it shares the chip's ID with others.
  const auto chosen = types.HasSection(chosen_) ? ReadSpiFlashType(types, chosen_) : FlashTypeResult{};
  return chosen.Type && chosen.Type->Id == id ? std::optional(chosen_) : FindSpiFlashSection(types, id);
}

JedecId SpiFlashOperations::ReadId(OperationRun& run) {
  SpiFlashBus bus = Bus(kBusyDefault);
  JedecId id = bus.ReadId();
  if (id != JedecId{0, 0, 0}) return id;
  // A chip in deep power-down answers nothing but Release from Deep Power-down: one try.
  bus.ReleasePowerDown();
  id = bus.ReadId();
  if (!Silent(id)) run.Log(texts::kSpiWokenUp);
  return id;
}

bool SpiFlashOperations::IdentifyChip(OperationRun& run) {
  const JedecId id = ReadId(run);
  if (Silent(id)) {
    run.Log("Ошибка: микросхема SPI Flash не отвечает (ID " + JedecText(id) + ")");
    LogDiagnosis(run, DiagnoseSilentFlash(id));
    return false;
  }
  const IniFile types = IniFile::Load(typesFile_);
  const auto section = ChooseSection(types, id);
  if (!section) return IdentifyBySfdp(run, id);
  section_ = *section;
  const auto result = ReadSpiFlashType(types, section_);
  if (!result.Type) {
    run.RefuseInput(result.Problem);
    return false;
  }
  run.Log("Микросхема: " + section_ + ", ID " + JedecText(id) + ", " + std::to_string(result.Type->Size) + " байт");
  type_ = result.Type;
  return true;
}

bool SpiFlashOperations::IdentifyBySfdp(OperationRun& run, const JedecId& id) {
  std::vector<std::uint8_t> area(kSfdpAreaBytes);
  Bus(kBusyDefault).ReadSfdp(area);
  const auto result = FlashTypeFromSfdp(area, id);
  if (!result.Type) {
    run.Log("Ошибка: микросхемы с ID " + JedecText(id) + " нет в файле " + kSpiFlashTypesFile);
    run.Log(texts::SpiSfdpRefused(result.Problem));
    run.Log(texts::kSpiListHint);
    return false;
  }
  run.Log(texts::SpiTypeFromSfdp(*result.Type));
  type_ = result.Type;
  return true;
}

OperationStep SpiFlashOperations::Identify() {
  OperationStep step;
  step.Act = [this](OperationRun& run) {
    const std::uint8_t protect = Bus(kBusyDefault).ReadStatus() & type_->StatusProtect;
    if (protect != 0) run.Log("Микросхема защищена от записи: биты защиты 0x" + HexDigits(protect, 2));
  };
  return step;
}

Refusal SpiFlashOperations::NoFile(const SpiFlashImage& image, const std::string& cancelled) {
  if (image.End != 0) return std::nullopt;
  return "Ошибка: файл не загружен; " + cancelled;
}

Refusal SpiFlashOperations::FitsChip(const SpiFlashImage& image, const std::string& cancelled) const {
  if (image.End <= type_->Size) return std::nullopt;
  return "Ошибка: данных в файле " + std::to_string(image.End) + " байт, а объём микросхемы " +
         std::to_string(type_->Size) + " байт; " + cancelled;
}

}  // namespace pw
