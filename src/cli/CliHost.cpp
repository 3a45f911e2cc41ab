#include "cli/CliHost.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <iostream>

#include "cli/ProgressLine.h"

namespace pw::cli {

CliHost::CliHost(bool answerYes, bool force)
    : answerYes_(answerYes),
      force_(force),
      terminal_(isatty(STDERR_FILENO) == 1),
      stepStart_(std::chrono::steady_clock::now()) {}

std::optional<std::string> CliHost::ChooseOpenFile(const std::string&) { return file_; }

std::optional<std::string> CliHost::ChooseSaveFile(const std::string&, const std::string&) { return file_; }

bool CliHost::AskYesNo(const std::string& title, const std::string& text) {
  return Answer(title, text, answerYes_, "--yes");
}

bool CliHost::AskRisky(const std::string& title, const std::string& text) {
  return Answer(title, text, answerYes_ && force_, "--yes --force");
}

bool CliHost::Answer(const std::string& title, const std::string& text, bool yes, const std::string& keys) {
  EndProgress();
  std::cerr << title << ": " << text << (yes ? " — да (" + keys + ")" : " — нет (нужен " + keys + ")") << std::endl;
  if (!yes) {
    ++declined_;
    declinedKeys_ = keys;
  }
  return yes;
}

void CliHost::ShowError(const std::string& text) {
  EndProgress();
  std::cout.flush();
  std::cerr << text << std::endl;
}

void CliHost::RepaintProgress(const ProgressBar& bar) {
  if (!terminal_) return;
  bar_ = &bar;
  percent_ = std::max(percent_, ProgressPercent(bar.Min, bar.Max, bar.Position));
  const auto elapsed =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - stepStart_);
  std::fprintf(stderr, "\r%s", ProgressLine(step_, percent_, elapsed).c_str());
  std::fflush(stderr);
  progressShown_ = true;
}

void CliHost::EndProgress() {
  if (!progressShown_) return;
  // The work may have moved the bar since it was last drawn: the line ends where the step got.
  RepaintProgress(*bar_);
  std::fputc('\n', stderr);
  progressShown_ = false;
  bar_ = nullptr;
  percent_ = 0;
}

void CliHost::LogLine(const std::string& line) {
  EndProgress();
  step_ = line;
  stepStart_ = std::chrono::steady_clock::now();
}

}  // namespace pw::cli
