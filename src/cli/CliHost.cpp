#include "cli/CliHost.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>

namespace pw::cli {

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
  if (!isatty(STDERR_FILENO)) return;
  const int span = bar.Max > bar.Min ? bar.Max - bar.Min : 1;
  const int percent = (bar.Position - bar.Min) * 100 / span;
  std::fprintf(stderr, "\r%s %3d%%", bar.Name.c_str(), percent);
  std::fflush(stderr);
  progressShown_ = true;
}

void CliHost::EndProgress() {
  if (!progressShown_) return;
  std::fputc('\n', stderr);
  progressShown_ = false;
}

}  // namespace pw::cli
