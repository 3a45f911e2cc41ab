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

bool CliHost::Kept(const std::string& line) {
  if (kept_ != nullptr) {
    kept_->push_back(line);
    return true;
  }
  EndProgress();
  return false;
}

void CliHost::Log(const std::string& line) {
  lastLine_ = line;
  if (Kept(line)) return;
  step_ = line;
  stepStart_ = std::chrono::steady_clock::now();
  if (!quiet_) Out() << line << std::endl;
}

void CliHost::LogFault(const std::string& line) {
  if (firstFault_.empty()) firstFault_ = line;
  if (Kept(line)) return;
  std::cout.flush();
  std::cerr << line << std::endl;
}

void CliHost::Detail(const std::string& line) {
  if (Kept(line)) return;
  Out() << line << std::endl;
}

void CliHost::ShowOutcome() {
  if (quiet_ && kept_ == nullptr && !lastLine_.empty()) Out() << lastLine_ << std::endl;
}

bool CliHost::Ask(const std::string& title, const std::string& text) {
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

void CliHost::Error(const std::string& text) {
  if (firstError_.empty()) firstError_ = text;
  if (Kept(text)) return;
  std::cout.flush();
  std::cerr << text << std::endl;
}

void CliHost::Progress(std::int64_t position, std::int64_t max) {
  // An empty bar is one an operation has finished with: nothing to draw.
  if (!terminal_ || quiet_ || max <= 0) return;
  percent_ = std::max(percent_, ProgressPercent(0, max, position));
  Draw();
}

void CliHost::Draw() {
  const auto elapsed =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - stepStart_);
  std::fprintf(stderr, "\r%s", ProgressLine(step_, percent_, elapsed).c_str());
  std::fflush(stderr);
  progressShown_ = true;
}

void CliHost::EndProgress() {
  if (!progressShown_) return;
  // The line ends at the furthest the step's bar got, with its final elapsed time.
  Draw();
  std::fputc('\n', stderr);
  progressShown_ = false;
  percent_ = 0;
}

}  // namespace pw::cli
