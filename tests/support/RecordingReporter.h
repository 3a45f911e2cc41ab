#pragma once
/// @file
/// A reporter played from a script, for running a family's operations without a window: it
/// keeps the log lines, progress positions, questions and error reports, answers questions
/// from a script (No when it runs out), and asks to stop at the n-th look at the stop request.

#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "frame/Reporter.h"

namespace pw::test {

class RecordingReporter : public Reporter {
 public:
  std::vector<std::string> Lines;
  std::vector<std::pair<std::int64_t, std::int64_t>> Positions;
  std::vector<std::string> Questions;
  std::vector<std::string> Errors;
  /// The next questions' answers; an empty script answers No.
  std::deque<bool> Answers;
  /// The look at the stop request (1 = the first) from which on a stop is asked for; 0: never.
  int StopAtLook = 0;
  int Looks = 0;

  void Log(const std::string& line) override { Lines.push_back(line); }
  void Progress(std::int64_t position, std::int64_t max) override { Positions.emplace_back(position, max); }
  bool Ask(const std::string& title, const std::string& text) override {
    Questions.push_back(title + ": " + text);
    if (Answers.empty()) return false;
    const bool yes = Answers.front();
    Answers.pop_front();
    return yes;
  }
  void Error(const std::string& text) override { Errors.push_back(text); }
  bool StopRequested() override { return StopAtLook > 0 && ++Looks >= StopAtLook; }
};

}  // namespace pw::test
