#pragma once
/// @file
/// The I2C page's log lines for the bus scan.

#include <string>

namespace pw::texts {

/// What the automatic clock names when no type is chosen (the scan): a standard-mode bus.
inline constexpr const char* kI2cBusName = "шина I2C";
/// The caption of the button that compares the chip with the loaded file.
inline constexpr const char* kI2cVerifyCaption = "Сверить";
/// The data line of the size label before a file is chosen on the page.
inline constexpr const char* kI2cNoFile = "файл не выбран\r\n";

/// The scan's first line, naming the addresses it probes.
inline constexpr const char* kI2cScanStart = "поиск устройств на шине I2C, адреса 0x08..0x77";
/// The scan's result: the 7-bit addresses that acknowledged, each as " 0x50".
inline std::string I2cScanFound(const std::string& addresses) { return "на шине отвечают:" + addresses; }
/// The scan's result when no address acknowledged.
inline constexpr const char* kI2cScanNone = "на шине не отвечает ни одно устройство";

/// SDA was low before a start: the bus clear was sent and the transfer is tried once more.
inline constexpr const char* kI2cBusCleared =
    "линия SDA была в нуле до START: выданы 9 тактов SCL при отпущенной SDA и STOP, повторяем обмен";
/// Why the EEPROM does not answer (i2c/I2cDiagnosis.h): what came back, then what to do.
inline std::string I2cNoAcknowledge(const std::string& deviceByte) {
  return "адрес 0x" + deviceByte + " никто не подтвердил (нет ACK), линия SDA свободна";
}
inline constexpr const char* kI2cNoAcknowledgeAdvice =
    "проверьте питание EEPROM, подтяжку SDA и SCL к питанию и выводы адреса A0-A2 (их уровни должны совпадать с "
    "битами адреса)";
inline constexpr const char* kI2cSdaStaysLow = "линия SDA остаётся в нуле и после 9 тактов SCL и STOP";
inline constexpr const char* kI2cSdaStaysLowAdvice =
    "вероятно, SDA замкнута на землю: проверьте линию SDA, её подтяжку к питанию и другие микросхемы на шине";

}  // namespace pw::texts
