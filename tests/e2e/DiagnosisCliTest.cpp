// Why a chip does not answer: benches with a chip-side fault, or none, and the two lines of
// diagnosis pinwright-cli prints after the failure, with its status.

#include <gtest/gtest.h>

#include "support/TestDirs.h"

namespace pw {
namespace {

struct Case {
  const char* Name;
  const char* Bench;
  std::vector<std::string> Args;
  /// The last lines printed.
  std::vector<std::string> Tail;
  int Status;
};

void RunCases(std::initializer_list<Case> cases) {
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    test::TempDir dir;
    dir.Write("bench.ini", c.Bench);
    std::vector<std::string> args{"--simulator=bench.ini"};
    args.insert(args.end(), c.Args.begin(), c.Args.end());
    const auto r = test::RunCli(args, dir.Path());
    EXPECT_EQ(r.Status, c.Status) << r.Out << r.Err;
    const auto lines = r.Lines();
    ASSERT_GE(lines.size(), c.Tail.size()) << r.Out;
    EXPECT_EQ(std::vector<std::string>(lines.end() - static_cast<std::ptrdiff_t>(c.Tail.size()), lines.end()), c.Tail)
        << r.Out;
  }
}

TEST(DiagnosisCli, AvrSaysWhatTheAnswersMean) {
  RunCases({
      {"no chip",
       "[Programmer]\n",
       {"avr", "erase"},
       {"чип: неизвестный", "Диагностика: на все команды чип ответил байтами FF, линия MISO всё время в единице",
        "Совет: вероятно, чип без питания или не подключён: проверьте питание, разъём ISP и провода"},
       2},
      // The factory ATmega328P runs at 1 MHz: SCK phases of 0.5 µs are too short for it.
      {"clock too fast",
       "[AVR]\nPart=ATmega328P\n",
       {"--baud", "62500", "avr", "identify"},
       {"Диагностика: на 62500 бод чип не отвечает, а на 1200 бод отвечает: частота SCK слишком высока для его "
        "тактовой частоты",
        "Совет: выберите меньшую скорость или \"авто\" в списке скоростей (в командной строке --baud auto или "
        "меньшее значение --baud)"},
       2},
      {"MISO stuck low",
       "[AVR]\nPart=ATmega328P\n[Faults]\nStuckLow=D7\n",
       {"avr", "identify"},
       {"Диагностика: на все команды пришли байты 00, линия MISO всё время в нуле",
        "Совет: проверьте, не замкнута ли MISO на землю и не держит ли чип в сбросе другая схема на плате"},
       2},
      {"damaged signature",
       "[AVR]\nPart=ATmega328P\nDamagedSignature=yes\n",
       {"avr", "read-fuses"},
       {"известные чипы показывает pinwright-cli list avr",
        "Диагностика: каждый байт сигнатуры повторяет свой адрес (00 01 02): настоящей сигнатуры чип не выдаёт",
        "Совет: чип защищён, повреждён или тактируется неверно (фьюзы источника тактов): проверьте кварц или "
        "генератор, иначе замените чип"},
       2},
  });
}

TEST(DiagnosisCli, I2cClearsAHeldBusAndSaysWhyTheEepromDoesNotAnswer) {
  RunCases({
      {"no chip",
       "[Programmer]\n",
       {"i2c", "24C02", "read", "out.hex"},
       {"Ошибка: EEPROM не отвечает (адрес 0x0000), файл не сохранён",
        "Диагностика: адрес 0xA0 никто не подтвердил (нет ACK), линия SDA свободна",
        "Совет: проверьте питание EEPROM, подтяжку SDA и SCL к питанию и выводы адреса A0-A2 (их уровни должны "
        "совпадать с битами адреса)"},
       2},
      {"SDA stuck low",
       "[I2C]\nPart=24C02\n[Faults]\nStuckLow=D1\n",
       {"i2c", "24C02", "read", "out.hex"},
       {"линия SDA была в нуле до START: выданы 9 тактов SCL при отпущенной SDA и STOP, повторяем обмен",
        "Ошибка: EEPROM не отвечает (адрес 0x0000), файл не сохранён",
        "Диагностика: линия SDA остаётся в нуле и после 9 тактов SCL и STOP",
        "Совет: вероятно, SDA замкнута на землю: проверьте линию SDA, её подтяжку к питанию и другие микросхемы на "
        "шине"},
       2},
      {"SDA held at power-up",
       "[I2C]\nPart=24C02\nHoldSda=yes\n",
       {"i2c", "24C02", "read", "out.hex"},
       {"линия SDA была в нуле до START: выданы 9 тактов SCL при отпущенной SDA и STOP, повторяем обмен",
        "чтение Eeprom завершено"},
       0},
  });
}

TEST(DiagnosisCli, SpiFlashSaysWhyItsIdReadsFFOr00) {
  RunCases({
      {"MISO stuck low",
       "[SPI]\nPart=W25Q32\n[Faults]\nStuckLow=D7\n",
       {"spi", "identify"},
       {"Ошибка: микросхема SPI Flash не отвечает (ID 00 00 00)",
        "Диагностика: на чтение ID пришли байты 00, и после команды выхода из глубокого сна (0xAB) тоже: линия MISO "
        "всё время в нуле",
        "Совет: проверьте, не замкнута ли MISO на землю и не держит ли микросхему вход /HOLD (он должен быть в "
        "единице)"},
       2},
      {"no chip",
       "[Programmer]\n",
       {"spi", "identify"},
       {"Ошибка: микросхема SPI Flash не отвечает (ID FF FF FF)",
        "Диагностика: на чтение ID пришли байты FF, линия MISO всё время в единице",
        "Совет: проверьте питание микросхемы (на переходнике 3,3 В, подходит ли ей это напряжение), провода и "
        "линию /CS"},
       2},
  });
}

}  // namespace
}  // namespace pw
