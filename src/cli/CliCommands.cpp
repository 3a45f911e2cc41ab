#include "cli/CliCommands.h"

#include "cli/AvrCommands.h"
#include "cli/I2cCommands.h"
#include "cli/PicCommands.h"
#include "cli/SettingsCommands.h"
#include "cli/SpiCommands.h"

namespace pw::cli {

bool CliSession::Step(const std::function<void()>& action) {
  if (!action) return true;
  Form.Fire(action);
  result_ = Form.LastOutcome();
  Host.EndProgress();
  return result_ == Outcome::Success;
}

bool CliSession::Click(Button& button) {
  if (!button.Enabled) {
    Host.ShowError("Кнопка \"" + button.Caption + "\" недоступна");
    result_ = Outcome::ErrorReport;
    return false;
  }
  const int declined = Host.Declined();
  if (!Step(button.OnClick)) return false;
  // A question answered No leaves the work undone; a script must not take that for success.
  if (Host.Declined() != declined) {
    const bool one = Host.DeclinedKeys().find(' ') == std::string::npos;
    Host.ShowError("Ничего не сделано: ответ \"нет\" на вопрос (подтвердите " + std::string(one ? "ключом " : "ключами ") +
                   Host.DeclinedKeys() + ")");
    result_ = Outcome::ErrorReport;
    return false;
  }
  return true;
}

bool CliSession::Choose(ComboBox& box, const std::string& item) {
  std::string known;
  for (std::size_t i = 0; i < box.Items.size(); ++i) {
    if (box.Items[i] == item) {
      box.Select(static_cast<int>(i));
      return Step(box.OnChange);
    }
    known += (known.empty() ? "" : ", ") + box.Items[i];
  }
  throw UsageError("unknown type " + item + (known.empty() ? " (the list is empty)" : "; known: " + known));
}

bool CliSession::ShowPage(int index) {
  Form.ShowPage(index);
  result_ = Form.LastOutcome();
  return result_ == Outcome::Success;
}

const std::vector<CliCommand>& AllCliCommands() {
  static const std::vector<CliCommand> commands = [] {
    std::vector<CliCommand> all;
    // Each page adds its commands here as it is built.
    for (auto& c : AvrCliCommands()) all.push_back(std::move(c));
    for (auto& c : I2cCliCommands()) all.push_back(std::move(c));
    for (auto& c : PicCliCommands()) all.push_back(std::move(c));
    for (auto& c : SettingsCliCommands()) all.push_back(std::move(c));
    for (auto& c : SpiCliCommands()) all.push_back(std::move(c));
    return all;
  }();
  return commands;
}

const CliCommand* FindCliCommand(const std::vector<std::string>& words, std::string& type, std::vector<std::string>& args) {
  for (const CliCommand& c : AllCliCommands()) {
    const std::size_t opAt = c.TakesType ? 2 : 1;
    if (words.size() != opAt + 1 + c.ArgCount || words[0] != c.Page || words[opAt] != c.Operation) continue;
    type = c.TakesType ? words[1] : "";
    args.assign(words.begin() + static_cast<std::ptrdiff_t>(opAt) + 1, words.end());
    return &c;
  }
  return nullptr;
}

}  // namespace pw::cli
