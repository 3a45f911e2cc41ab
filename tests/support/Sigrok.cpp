#include "support/Sigrok.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace pw::test {

bool HaveSigrok() { return std::system("command -v sigrok-cli >/dev/null 2>&1") == 0; }

std::string RunSigrok(const std::filesystem::path& trace, const std::string& arguments) {
  const std::string command =
      "sigrok-cli -I binary:numchannels=8:samplerate=1m -i '" + trace.string() + "' " + arguments + " 2>&1";
  std::string output;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
    pclose(pipe);
  }
  return output;
}

std::vector<int> SigrokBytes(const std::string& output) {
  std::vector<int> bytes;
  std::istringstream in(output);
  std::string label;
  std::string hex;
  while (in >> label >> hex) bytes.push_back(std::stoi(hex, nullptr, 16));
  return bytes;
}

std::vector<std::string> SigrokCsvRows(const std::string& csv) {
  std::vector<std::string> rows;
  std::istringstream in(csv);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && (line[0] == '0' || line[0] == '1')) rows.push_back(line);
  }
  return rows;
}

}  // namespace pw::test
