// "Cчитать дамп" of a PIC18 type: program memory, the configuration area and data EEPROM in the
// PIC18 layout of pic/Pic18Files.h.

#include "hexfile/HexWriter.h"
#include "pic/Pic18Files.h"
#include "pic/PicOperations.h"

namespace pw {

void PicOperations::ReadPic18Dump(OperationRun& run, const ImageFile& file) {
  dump_ = {};
  run.Log("чтение Флеши");
  run.StartProgress(type_.FlashSize);
  auto program = ReadProgramWords(run, type_.FlashSize);
  // A stop saves no file and leaves the memories as they were.
  if (!program) return;
  run.Log("чтение конфигурации");
  config_ = ReadConfigArea();
  run.Log("чтение Еепром");
  auto data = ReadDataLocations(type_.EepromSize);
  std::string hexText = Pic18DumpHex(*program, *config_, data);
  SaveHexText(file.Name, hexText);
  run.Saved(file.Name.string());
  run.Log("файл сохранён");
  dump_.Program = std::move(*program);
  dump_.Data = std::move(data);
}

}  // namespace pw
