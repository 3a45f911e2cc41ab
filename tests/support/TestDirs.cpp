#include "support/TestDirs.h"

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

namespace pw::test {
namespace {

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

}  // namespace

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  std::random_device rd;
  path_ = std::filesystem::temp_directory_path() /
          ("pinwright-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + "-" + std::to_string(rd()));
  std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(path_, ec);
}

std::filesystem::path TempDir::Write(const std::string& name, const std::string& text) const {
  const auto file = path_ / name;
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << text;
  return file;
}

std::string ReadText(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string ChipsIniWithout(const std::string& signature) {
  std::string text = ReadText(SourceDir() / "data" / "chips.ini");
  const std::string header = "[" + signature + "]";
  const auto at = text.find(header);
  if (at != std::string::npos) text.replace(at, header.size(), "[unlisted]");
  return text;
}

std::vector<unsigned char> ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

namespace {

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

}  // namespace

std::vector<std::string> CliResult::Lines() const { return SplitLines(Out); }

std::vector<std::string> CliResult::ErrLines() const { return SplitLines(Err); }

CliResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                     const std::filesystem::path& dir) {
  TempDir capture;
  std::string command = "cd " + Quote(dir.string()) + " && " + Quote(program);
  for (const auto& a : args) command += " " + Quote(a);
  command += " >" + Quote((capture / "out").string()) + " 2>" + Quote((capture / "err").string()) + " </dev/null";
  const int raw = std::system(command.c_str());
  CliResult r;
  r.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.Out = ReadText(capture / "out");
  r.Err = ReadText(capture / "err");
  return r;
}

CliResult RunCli(const std::vector<std::string>& args, const std::filesystem::path& dir) {
  return RunProgram(PINWRIGHT_CLI, args, dir);
}

std::filesystem::path CliCopyIn(const TempDir& dir) {
  const auto cli = dir / "pinwright-cli";
  std::error_code ec;
  std::filesystem::create_hard_link(PINWRIGHT_CLI, cli, ec);
  if (ec) std::filesystem::copy_file(PINWRIGHT_CLI, cli);
  return cli;
}

std::filesystem::path BinDir() { return PINWRIGHT_BIN_DIR; }
std::filesystem::path SourceDir() { return PINWRIGHT_SOURCE_DIR; }

}  // namespace pw::test
