#include "cli/CliCommands.h"

#include <algorithm>
#include <optional>

#include "cli/AvrCommands.h"
#include "cli/I2cCommands.h"
#include "cli/NameMatch.h"
#include "cli/PicCommands.h"
#include "cli/SettingsCommands.h"
#include "cli/SpiCommands.h"
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

namespace {

/// Each name once, in the order of first appearance.
std::vector<std::string> Distinct(const std::vector<std::string>& names) {
  std::vector<std::string> once;
  for (const auto& n : names) {
    if (std::find(once.begin(), once.end(), n) == once.end()) once.push_back(n);
  }
  return once;
}

}  // namespace

const CliCommand& MatchCliCommand(const std::vector<std::string>& words, std::string& type,
                                  std::vector<std::string>& args) {
  const auto& all = AllCliCommands();
  std::vector<std::string> pages;
  for (const CliCommand& c : all) pages.push_back(c.Page);
  pages = Distinct(pages);
  if (words.empty()) throw UsageError("no command given");
  const auto page = FindName(words[0], pages);
  if (!page) throw UsageError(UnknownName("page", words[0], pages));
  std::vector<const CliCommand*> ofPage;
  std::vector<std::string> operations;
  for (const CliCommand& c : all) {
    if (c.Page != pages[*page]) continue;
    ofPage.push_back(&c);
    operations.push_back(c.Operation);
  }
  const std::size_t opAt = ofPage.front()->TakesType ? 2 : 1;
  const std::string shape = pages[*page] + (opAt == 2 ? " TYPE" : "");
  if (words.size() <= opAt) throw UsageError(shape + " needs an operation; known: " + JoinNames(operations));
  const auto op = FindName(words[opAt], operations);
  if (!op) throw UsageError(UnknownName("operation", words[opAt], operations));
  const CliCommand& c = *ofPage[*op];
  const std::size_t given = words.size() - opAt - 1;
  if (given != c.ArgCount) {
    throw UsageError(shape + " " + c.Operation + " takes " + std::to_string(c.ArgCount) + " argument(s), not " +
                     std::to_string(given));
  }
  type = opAt == 2 ? words[1] : "";
  args.assign(words.begin() + static_cast<std::ptrdiff_t>(opAt) + 1, words.end());
  return c;
}

}  // namespace pw::cli
