#include "frame/ProgramFiles.h"

#include <system_error>

namespace pw {

std::filesystem::path DescriptionFile(const FormPaths& paths, const std::string& name) {
  const auto beside = paths.ProgramDir / name;
  std::error_code ec;
  if (std::filesystem::exists(beside, ec) || paths.DataDir.empty()) return beside;
  const auto installed = paths.DataDir / name;
  return std::filesystem::exists(installed, ec) ? installed : beside;
}

}  // namespace pw
