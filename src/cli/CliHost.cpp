#include "cli/CliHost.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>

namespace pw::cli {

std::optional<std::string> CliHost::ChooseOpenFile(const std::string&) { return file_; }

std::optional<std::string> CliHost::ChooseSaveFile(const std::string&, const std::string&) { return file_; }

bool CliHost::AskYesNo(const std::string& title, const std::string& text) {
  EndProgress();
  std::cerr << title << ": " << text << (answerYes_ ? " — да (--yes)" : " — нет (нужен --yes)") << std::endl;
  if (!answerYes_) ++declined_;
  return answerYes_;
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
