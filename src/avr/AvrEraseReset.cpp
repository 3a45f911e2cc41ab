// "Стереть чип" and "Сброс".

#include <exception>
#include <optional>

#include "avr/AvrPage.h"
#include "link/ProgrammerConnection.h"
#include "link/ProgrammerSession.h"

namespace pw {

void AvrPage::AvrEraseClick() {
  ctx_.ClearLogIfTicked();
  ProgrammerSession session(ctx_.Unit, kModeAvr, SessionBaud());
  // A chip that does not answer has not been erased, whatever the log would say.
  if (ChipAnswers()) {
    Utils.AvrChipErase();
    ctx_.Unit.Wait(AVRUtils::kEraseWaitMs);
    ctx_.Log.Append("флеш и еепром стёрты");
    // The panel shows the erased chip: its fuses, and its lock bits, now cleared.
    IdentifyChip(false);
  }
  session.Close();
}

void AvrPage::AvrChipRstClick() {
  ctx_.ClearLogIfTicked();
  std::optional<ProgrammerSession> session(std::in_place, ctx_.Unit, kModeAvr, SessionBaud());
  try {
    Utils.AvrSetPins(AVRUtils::kResetAsserted);
  } catch (const std::exception&) {
    // The chip runs once the pins are inputs again, also after a failure.
    session.reset();
    ctx_.Log.Append("чип перезапущен");
    throw;
  }
  session->Close();
  ctx_.Log.Append("чип перезапущен");
}

}  // namespace pw
