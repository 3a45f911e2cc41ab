#pragma once
/// @file
/// The "SPI Flash" page: a 25-series flash on the AVR header, its type from SpiFlash.ini found
/// by the chip's JEDEC ID; read into a HEX or BIN file, written from one (erasing only the
/// sectors that must change, skipping pages already equal, then verifying), erased, compared.

#include <functional>
#include <string>
#include <vector>

#include "frame/Frame.h"
#include "model/Controls.h"
#include "model/FormContext.h"
#include "model/PageModel.h"
#include "spi/SpiFlashImage.h"
#include "spi/SpiFlashOperations.h"
#include "spi/SpiFlashTexts.h"

namespace pw {

class SpiFlashPage : public PageModel {
 public:
  explicit SpiFlashPage(FormContext& context);

  /// Reads the chip's JEDEC ID and chooses its type in the list.
  void SpiFlashIdentify();
  /// Compares the chip with the loaded file, byte by byte where the file holds data.
  void SpiFlashVerify();

  /// The loaded file, and whether there is one.
  const SpiFlashImage& Image() const { return image_; }

  // The controls, each with the handler it runs.
  TabSheet SpiFlash{"SpiFlash", "SPI Flash"};
  /// Shows the chosen type's size and the loaded file; the write needs both a file and a type
  /// that is programmed page by page.
  void ViewSpi();
  ComboBox SpiFlashType{"SpiFlashType", "SpiFlash", {8, 8, 150, 21}, "SPI Flash Type", false, [this] { ViewSpi(); }};
  /// Loads a HEX or binary file as the image to write.
  void SpiFlashFileClick();
  Button SpiFlashFile{"SpiFlashFile", "SpiFlash", {8, 38, 123, 25}, "Файл", [this] { SpiFlashFileClick(); }};
  /// Reads the whole chip into a file.
  void SpiFlashReadClick();
  Button SpiFlashRead{"SpiFlashRead", "SpiFlash", {137, 38, 127, 25}, "Cчитать", [this] { SpiFlashReadClick(); }};
  /// Writes the loaded file, erasing only what must change, and compares.
  void SpiFlashWriteClick();
  Button SpiFlashWrite{
      "SpiFlashWrite", "SpiFlash", {270, 38, 138, 25}, texts::kSpiWriteButton, [this] { SpiFlashWriteClick(); }, false};
  /// Erases the whole chip after a question.
  void SpiFlashEraseClick();
  Button SpiFlashErase{
      "SpiFlashErase", "SpiFlash", {270, 68, 138, 25}, texts::kSpiEraseButton, [this] { SpiFlashEraseClick(); }};
  /// Beside the erase button, under the read button: runs SpiFlashVerify.
  Button SpiFlashVerifyButton{
      "SpiFlashVerifyButton", "SpiFlash", {137, 68, 127, 25}, texts::kSpiVerifyButton, [this] { SpiFlashVerify(); }};
  Label SpiFlashLab1{"SpiFlashLab1", "SpiFlash", {8, 100, 400, 15}, "Path"};
  Label SpiFlashLab2{"SpiFlashLab2", "SpiFlash", {8, 118, 400, 15}, "Dop"};
  ProgressBar SpiProgress{"SpiProgress", "SpiFlash", {8, 140, 400, 17}};

 private:
  void Startup() override;
  std::vector<ControlRef> Controls() override;
  /// Runs the step made by step on the chosen type, then shows the type the chip was found to be.
  void Run(const std::function<OperationStep(SpiFlashOperations&)>& step);
  void ShowType(const SpiFlashOperations& operations);

  SpiFlashImage image_;
};

}  // namespace pw
