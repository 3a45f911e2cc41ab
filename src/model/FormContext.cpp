#include "model/FormContext.h"

namespace pw {

FormContext::FormContext(D2XXUnit& unit, UiHost& host, Memo& log, CheckBox& clearLog, Edit& dopInfo,
                         const std::int32_t& programmerBaud, FormPaths paths, MemoryImages& images)
    : Unit(unit),
      Host(host),
      Log(log),
      CheckBox1(clearLog),
      DopInfo(dopInfo),
      ProgrammerBaud(programmerBaud),
      Paths(std::move(paths)),
      Images(images) {}

void FormContext::ClearLogIfTicked() {
  if (CheckBox1.Checked) Log.Clear();
}

void FormContext::ReportError(const std::string& text) {
  outcome_ = Outcome::ErrorReport;
  Host.ShowError(text);
}

Outcome FormContext::TakeOutcome() {
  const Outcome o = outcome_;
  outcome_ = Outcome::Success;
  return o;
}

std::filesystem::path FormContext::DescriptionFile(const std::string& name) const {
  return pw::DescriptionFile(Paths, name);
}

}  // namespace pw
