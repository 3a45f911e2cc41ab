#include "app/Form1.h"

#include <exception>

#include "app/SpeedList.h"
#include "common/Error.h"

namespace pw {

TForm1::TForm1(D2xx& driver, UiHost& host, FormPaths paths)
    : Unit(driver),
      context_(
          std::make_unique<FormContext>(Unit, host, Log, CheckBox1, DopInfo, ProgrammerBaud, std::move(paths), Images)),
      Avr(*context_),
      Pic(*context_),
      I2c(*context_),
      Spi(*context_),
      Setup(*context_) {
  // A file loaded on the I2C page fills the EEPROM image the AVR page writes too.
  I2c.OnFileLoaded = [this] { Avr.AvrWriteEep.Enabled = Avr.ChipKnown; };
  // A file loaded on the PIC page fills the flash image the AVR page writes too.
  Pic.OnFileLoaded = [this] { Avr.AvrWriteFls.Enabled = Avr.ChipKnown; };
  StopButton.RunsWhileBusy = true;
  StopButton.OnClick = [this] { context_->Stop.Request(); };
  // Only "авто" changes anything: the baud value itself stays the one start-up fixed.
  BoudRate.OnChange = [this] { context_->AutoBaud = BoudRate.Text == kAutoBaudEntry; };
}

void TForm1::FormCreate() {
  Fire([this] {
    BoudRate.Items = ReadSpeedList(context_->Paths);
    BoudRate.Select(kBaudEntry);
    // Out of range, every operation would fail later as a programmer that is not connected.
    ProgrammerBaud = SpeedListBaud(BoudRate.Items);
    BoudRate.Items.push_back(kAutoBaudEntry);
    Log.Clear();
    Images.FlashDataCount = 0;
    Images.EepromDataCount = 0;
    Images.FlashFilled.assign(MemoryImages::kFlashWords, false);
    Images.EepromFilled.assign(MemoryImages::kEepromElements, false);
    for (const PageEntry& entry : pages_) entry.Page->Startup();
  });
}

bool TForm1::Fire(const std::function<void()>& handler) {
  if (busy_ || !handler) return false;
  busy_ = true;
  // A stop asked for between operations is not meant for this one.
  context_->Stop.Clear();
  StopButton.Enabled = true;
  context_->TakeOutcome();
  try {
    handler();
  } catch (const std::exception& e) {
    context_->ReportError(e.what());
  }
  lastOutcome_ = context_->TakeOutcome();
  StopButton.Enabled = false;
  busy_ = false;
  return true;
}

void TForm1::ShowPage(int index) {
  if (busy_ || index < 0 || index >= static_cast<int>(pages_.size()) || index == PageControl1.ActivePageIndex) return;
  PageControl1.ActivePageIndex = index;
  Fire(pages_[static_cast<std::size_t>(index)].Sheet->OnShow);
}

std::vector<ControlRef> TForm1::Controls() {
  std::vector<ControlRef> all = {&PageControl1};
  for (const PageEntry& entry : pages_) {
    const auto list = entry.Page->Controls();
    all.insert(all.end(), list.begin(), list.end());
  }
  for (ControlRef c :
       {ControlRef{&CheckBox1}, ControlRef{&DopInfo}, ControlRef{&BoudRate}, ControlRef{&Log}, ControlRef{&StopButton}})
    all.push_back(c);
  return all;
}

const ControlBase* TForm1::Find(const std::string& name) {
  for (const auto& c : Controls()) {
    if (NameOf(c) == name) return &BaseOf(c);
  }
  return nullptr;
}

}  // namespace pw
