#pragma once
/// @file
/// The "SPI Flash" page: a 25-series flash on the AVR header, its type from SpiFlash.ini found
/// by the chip's JEDEC ID; read into a HEX or BIN file, written from one (erasing only the
/// sectors that must change, skipping pages already equal, then verifying), erased, compared.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "frame/PartialWrite.h"
#include "model/Controls.h"
#include "model/FormContext.h"
#include "spi/SpiFlashBus.h"
#include "spi/SpiFlashImage.h"
#include "spi/SpiFlashTypes.h"

namespace pw {

class SpiFlashPage {
 public:
  static constexpr const char* kTypesFile = "SpiFlash.ini";

  explicit SpiFlashPage(FormContext& context);
  SpiFlashPage(const SpiFlashPage&) = delete;
  SpiFlashPage& operator=(const SpiFlashPage&) = delete;

  /// Sets the page up when the window is created: the types of SpiFlash.ini, the first chosen.
  void Startup();
  /// The page and every control on it, parents before children.
  std::vector<ControlRef> Controls();

  /// Shows the chosen type's size and the loaded file; the write needs both a file and a type
  /// that is programmed page by page.
  void ViewSpi();
  void SpiFlashFileClick();
  void SpiFlashReadClick();
  void SpiFlashWriteClick();
  void SpiFlashEraseClick();
  /// Reads the chip's JEDEC ID and chooses its type in the list.
  void SpiFlashIdentify();
  /// Compares the chip with the loaded file, byte by byte where the file holds data.
  void SpiFlashVerify();

  /// The loaded file, and whether there is one.
  const SpiFlashImage& Image() const { return image_; }

  TabSheet SpiFlash{"SpiFlash", "SPI Flash"};
  ComboBox SpiFlashType{"SpiFlashType", "SpiFlash", {8, 8, 150, 21}, "SPI Flash Type", false};
  Button SpiFlashFile{"SpiFlashFile", "SpiFlash", {8, 38, 112, 25}, "Файл"};
  Button SpiFlashRead{"SpiFlashRead", "SpiFlash", {126, 38, 112, 25}, "Cчитать"};
  Button SpiFlashWrite{"SpiFlashWrite", "SpiFlash", {244, 38, 116, 25}, "Прошить", false};
  Button SpiFlashErase{"SpiFlashErase", "SpiFlash", {244, 68, 116, 25}, "Стереть чип"};
  Label SpiFlashLab1{"SpiFlashLab1", "SpiFlash", {8, 100, 352, 15}, "Path"};
  Label SpiFlashLab2{"SpiFlashLab2", "SpiFlash", {8, 118, 352, 15}, "Dop"};
  ProgressBar SpiProgress{"SpiProgress", "SpiFlash", {8, 140, 352, 17}};

 private:
  /// Reads the ID, chooses the type it names and shows it; nothing (logged and marked) when the
  /// chip does not answer or is not in SpiFlash.ini.
  std::optional<FlashType> Identify(SpiFlashBus& bus);
  /// Reports set protection bits and clears them after a question; false when they stay set.
  bool Unprotect(SpiFlashBus& bus, const FlashType& type, const char* cancelled);
  /// Erases and programs the file's sectors; false (logged and marked) when the chip failed.
  /// Reads the whole chip into bytes in pieces, stopping between them when asked; false when stopped.
  bool ReadChip(SpiFlashBus& bus, std::span<std::uint8_t> bytes);
  bool WriteImage(SpiFlashBus& bus, const FlashType& type, PartialWrite& partial);
  /// Compares the file's bytes with the chip; false (logged and marked) at the first difference.
  bool VerifyImage(SpiFlashBus& bus, const FlashType& type);
  /// Chunks of the chip (aligned, chunk bytes each) that hold some of the file's bytes.
  std::vector<std::uint32_t> FileChunks(std::uint32_t chunk) const;
  void Busy(std::uint32_t address, const char* consequence);
  void RefuseInput(const std::string& problem);
  void SetProgress(int max);
  void MoveProgress(int position);

  FormContext& ctx_;
  SpiFlashImage image_;
};

}  // namespace pw
