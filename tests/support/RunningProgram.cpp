#include "support/RunningProgram.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <sstream>

namespace pw::test {

RunningProgram::RunningProgram(const std::string& program, const std::vector<std::string>& args,
                               const std::filesystem::path& dir) {
  int pipeEnds[2];
  if (::pipe2(pipeEnds, O_CLOEXEC) != 0) return;
  const std::string err = (capture_ / "err").string();
  pid_ = ::fork();
  if (pid_ == 0) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const int in = ::open("/dev/null", O_RDONLY);
    const int errFd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (::chdir(dir.c_str()) != 0 || in < 0 || errFd < 0) ::_exit(127);
    ::dup2(in, 0);
    ::dup2(pipeEnds[1], 1);
    ::dup2(errFd, 2);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  ::close(pipeEnds[1]);
  out_ = pipeEnds[0];
}

RunningProgram::~RunningProgram() {
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  if (out_ >= 0) ::close(out_);
}

bool RunningProgram::ReadMore(int timeoutMs) {
  pollfd ready{out_, POLLIN, 0};
  if (::poll(&ready, 1, timeoutMs) <= 0) return false;
  char chunk[4096];
  const ssize_t got = ::read(out_, chunk, sizeof chunk);
  if (got <= 0) return false;
  text_.append(chunk, static_cast<std::size_t>(got));
  return true;
}

bool RunningProgram::WaitForLine(const std::string& prefix) {
  for (;;) {
    std::istringstream lines(text_);
    std::string line;
    // Only whole lines count: the last one may still be coming.
    while (std::getline(lines, line)) {
      if (!lines.eof() && line.starts_with(prefix)) return true;
    }
    if (!ReadMore(60'000)) return false;
  }
}

void RunningProgram::Signal(int signal) const { ::kill(pid_, signal); }

CliResult RunningProgram::Finish() {
  while (ReadMore(-1)) {
  }
  int raw = 0;
  ::waitpid(pid_, &raw, 0);
  pid_ = -1;
  CliResult r;
  r.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.Out = text_;
  r.Err = ReadText(capture_ / "err");
  return r;
}

}  // namespace pw::test
