#include "cli/CliCommands.h"

#include <algorithm>
#include <optional>

#include "app/SpeedList.h"
#include "cli/NameMatch.h"
#include "frame/Texts.h"

namespace pw::cli {

bool CliSession::Step(const std::function<void()>& action) {
  if (!action) return true;
  // A stop asked for between two steps: the rest of the command is not begun.
  if (Form.Context().Stop.Requested()) {
    Form.Log.Append(texts::Stopped("команда не доведена до конца"));
    result_ = Outcome::Stopped;
    return false;
  }
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
    Host.ShowError("Ничего не сделано: ответ \"нет\" на вопрос (подтвердите " +
                   std::string(one ? "ключом " : "ключами ") + Host.DeclinedKeys() + ")");
    result_ = Outcome::ErrorReport;
    return false;
  }
  return true;
}

bool CliSession::Choose(ComboBox& box, const std::string& item) {
  // The exact name first: a list may hold names that differ only in case.
  const auto exact = std::find(box.Items.begin(), box.Items.end(), item);
  const auto index =
      exact != box.Items.end() ? std::optional<std::size_t>(exact - box.Items.begin()) : FindName(item, box.Items);
  if (!index) throw UsageError(UnknownName("type", item, box.Items));
  box.Select(static_cast<int>(*index));
  return Step(box.OnChange);
}

bool CliSession::ShowPage(int index) {
  Form.ShowPage(index);
  result_ = Form.LastOutcome();
  return result_ == Outcome::Success;
}

namespace {

/// --baud auto chooses the baud list's "авто" entry, as a person would.
void ChooseAutoBaud(TForm1& form) {
  const auto& items = form.BoudRate.Items;
  const auto entry = std::find(items.begin(), items.end(), kAutoBaudEntry);
  if (entry == items.end()) return;
  form.BoudRate.Select(static_cast<int>(entry - items.begin()));
  form.Fire(form.BoudRate.OnChange);
}

void RunLegacy(const std::vector<CliCommand>& commands, CliContext& context, const std::string& type,
               std::span<const CliStep> steps) {
  TForm1 form(context.Driver, context.Host, context.Paths);
  form.Log.OnAppend = [&context](const std::string& line) { context.Host.Log(line); };
  form.Context().Stop.Watch(context.Interrupted);
  form.FormCreate();
  if (form.LastOutcome() != Outcome::Success) return context.Run.Adopt(form.LastOutcome());
  form.CheckBox1.Checked = context.Options.ClearLog;
  if (context.Options.Baud && !context.AutoBaud) form.ProgrammerBaud = context.Baud;
  if (context.AutoBaud) ChooseAutoBaud(form);
  CliSession session(form, context.Host);
  for (const CliStep& step : steps) {
    const auto command = std::find_if(commands.begin(), commands.end(),
                                      [&](const CliCommand& c) { return c.Operation == step.Operation->Name; });
    command->Run(session, type, step.Args);
    if (session.Result() != Outcome::Success) break;
  }
  context.Run.Adopt(session.Result());
}

}  // namespace

CliPage LegacyCliPage(const std::vector<CliCommand>& commands, const std::string& eraseFirst) {
  CliPage page{commands.front().Page, commands.front().TakesType, {}, eraseFirst, nullptr};
  for (const CliCommand& c : commands) {
    page.Operations.push_back(
        {c.Operation, c.ArgCount, c.File, c.Load, c.Operation == "write-flash" && !eraseFirst.empty()});
  }
  page.Run = [commands](CliContext& context, const std::string& type, std::span<const CliStep> steps) {
    RunLegacy(commands, context, type, steps);
  };
  return page;
}

}  // namespace pw::cli
