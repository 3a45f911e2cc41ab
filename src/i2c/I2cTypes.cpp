#include "i2c/I2cTypes.h"

namespace pw {
namespace {

/// Larger than any page: a value above it is refused without being narrowed.
constexpr std::int64_t kMostPageSize = 65536;
/// Beyond any I2C bus (high-speed mode ends at 3.4 MHz).
constexpr std::int64_t kMostClockKHz = 3400;
/// The end of the line that says, when a type is shown, why its operations will be refused.
constexpr const char* kTypeUnusable = "операции с этим типом не выполняются";

}  // namespace

I2cType ReadI2cType(const IniFile& types, const std::string& name) {
  I2cType type;
  type.Name = name;
  type.EepromSize = static_cast<std::int32_t>(types.ReadInteger(name, "Size", 0));
  type.ProtocolText = types.ReadString(name, "Protocol", "2");
  const std::int64_t protocol = types.ReadInteger(name, "Protocol", 2);
  type.I2cProtocol = I2cAddressing::Known(protocol) ? static_cast<std::uint8_t>(protocol) : 0;
  // A key that is there but no number reads as 0, which a write refuses.
  type.PageSizeText = types.ReadString(name, "PageSize", std::to_string(I2cGroups::kGroupBytes));
  const std::int64_t pageSize = types.ReadInteger(name, "PageSize", I2cGroups::kGroupBytes);
  type.PageSize = pageSize > 0 && pageSize <= kMostPageSize ? static_cast<std::int32_t>(pageSize) : 0;
  const std::int64_t clock = types.ReadInteger(name, "ClockKHz", kI2cStandardKHz);
  type.ClockKHz = clock > 0 && clock <= kMostClockKHz ? static_cast<std::int32_t>(clock) : kI2cStandardKHz;
  if (types.HasSection(name)) type.Problem = I2cWriteProblem(type, 0, kTypeUnusable).value_or("");
  return type;
}

Refusal I2cSizeProblem(const I2cType& type, std::int32_t bytes, const char* cancelled) {
  if (type.EepromSize <= 0) {
    return "Ошибка: у типа [" + type.Name + "] в файле " + kI2cTypesFile +
           " размер (Size) не задан числом больше нуля; " + cancelled;
  }
  if (type.I2cProtocol == 0) {
    return "Ошибка: у типа [" + type.Name + "] в файле " + kI2cTypesFile +
           " способ адресации (Protocol=" + type.ProtocolText + ") не от 1 до " +
           std::to_string(I2cAddressing::kMostProtocol) + "; " + cancelled;
  }
  const std::uint32_t reach = type.Addressing().Reach();
  if (static_cast<std::uint32_t>(type.EepromSize) > reach) {
    return "Ошибка: объём типа [" + type.Name + "] " + std::to_string(type.EepromSize) +
           " байт больше, чем позволяет его адресация (" + std::to_string(reach) + " байт); " + cancelled;
  }
  if (bytes > type.EepromSize) {
    return "Ошибка: данных в файле " + std::to_string(bytes) + " байт, а объём EEPROM " +
           std::to_string(type.EepromSize) + " байт; " + cancelled;
  }
  return std::nullopt;
}

Refusal I2cWriteProblem(const I2cType& type, std::int32_t bytes, const char* cancelled) {
  if (auto problem = I2cSizeProblem(type, bytes, cancelled)) return problem;
  const std::int32_t page = type.PageSize;
  const bool powerOfTwo = page > 0 && (page & (page - 1)) == 0;
  if (powerOfTwo && page <= type.EepromSize) return std::nullopt;
  return "Ошибка: у типа [" + type.Name + "] в файле " + kI2cTypesFile +
         " размер страницы (PageSize=" + type.PageSizeText + ") не степень двойки от 1 до " +
         std::to_string(type.EepromSize) + "; " + cancelled;
}

}  // namespace pw
