#include "support/ScriptedHost.h"

namespace pw::test {

std::optional<std::string> ScriptedHost::NextFile() {
  if (Files.empty()) return std::nullopt;
  auto file = Files.front();
  Files.pop_front();
  return file;
}

std::optional<std::string> ScriptedHost::ChooseOpenFile(const std::string&) { return NextFile(); }

std::optional<std::string> ScriptedHost::ChooseSaveFile(const std::string&, const std::string&) { return NextFile(); }

bool ScriptedHost::AskYesNo(const std::string& title, const std::string& text) {
  Questions.push_back(title + ": " + text);
  if (Answers.empty()) return false;
  const bool answer = Answers.front();
  Answers.pop_front();
  return answer;
}

}  // namespace pw::test
