#pragma once
/// @file
/// The main window as plain data: the page control with its five pages, the shared controls,
/// the start-up and the frame every operation runs in.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "avr/AvrPage.h"
#include "frame/MemoryImages.h"
#include "frame/Outcome.h"
#include "i2c/I2cPage.h"
#include "link/D2xxUnit.h"
#include "model/Controls.h"
#include "model/FormContext.h"
#include "model/PageEntry.h"
#include "model/UiHost.h"
#include "pic/PicPage.h"
#include "setup/SetupPage.h"
#include "spi/SpiFlashPage.h"

namespace pw {

class TForm1 {
 public:
  static constexpr const char* kCaption = "PinwrightV3.4";
  static constexpr int kClientWidth = 726;
  static constexpr int kClientHeight = 456;

  TForm1(D2xx& driver, UiHost& host, FormPaths paths);
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  /// Start-up: the baud list and value, the log, the data counts, then each page's start-up.
  /// Stops at the first failing step and shows its error.
  void FormCreate();

  /// Runs one event handler as the window does: never while another runs (returns false then),
  /// and an error that leaves the handler goes to the general error report.
  bool Fire(const std::function<void()>& handler);
  bool Busy() const { return busy_; }
  /// How the last handler run by Fire ended.
  Outcome LastOutcome() const { return lastOutcome_; }

  /// Shows page index as a person would by clicking its tab (runs its show event).
  void ShowPage(int index);
  /// The pages in the order of their tabs; start-up sets them up in this order.
  const std::vector<PageEntry>& Pages() const { return pages_; }

  /// Every control of the window, parents before children.
  std::vector<ControlRef> Controls();
  /// The control named name, or nullptr.
  const ControlBase* Find(const std::string& name);

  D2XXUnit Unit;
  std::int32_t ProgrammerBaud = 0;
  MemoryImages Images;

  PageControl PageControl1{"PageControl1", "", {2, 3, 425, 449}};
  CheckBox CheckBox1{"CheckBox1", "", {433, 5, 200, 17}, "Очищать лог"};
  Edit DopInfo{"DopInfo", "", {433, 27, 150, 21}, "", true};
  ComboBox BoudRate{"BoudRate", "", {589, 27, 133, 21}, "BoudRate"};
  Memo Log{"Log", "", {433, 52, 289, 401}};
  /// "Стоп": asks the running operation to stop between pages or groups; usable only while one runs.
  Button StopButton{"StopButton", "", {638, 3, 84, 21}, "Стоп", false};

 private:
  std::unique_ptr<FormContext> context_;

 public:
  FormContext& Context() { return *context_; }

  AvrPage Avr;
  PicPage Pic;
  I2cPage I2c;
  SpiFlashPage Spi;
  SetupPage Setup;

 private:
  /// The one list of the pages, in the order of their tabs; a new page is one more row.
  std::vector<PageEntry> pages_{{"avr", &Avr, &Avr.AvrSpi},
                                {"pic", &Pic, &Pic.PIC, &Pic.PicType},
                                {"i2c", &I2c, &I2c.I2cEepom, &I2c.I2eEepromType},
                                {"spi", &Spi, &Spi.SpiFlash},
                                {"settings", &Setup, &Setup.Setup}};
  bool busy_ = false;
  Outcome lastOutcome_ = Outcome::Success;
};

}  // namespace pw
