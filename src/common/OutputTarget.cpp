#include "common/OutputTarget.h"

#include "common/Error.h"

namespace pw {
namespace {

namespace fs = std::filesystem;

/// As many links as the system itself follows before it gives up (SYMLOOP_MAX on Linux).
constexpr int kMostLinks = 40;

}  // namespace

std::string OutputFailure(const fs::path& file, const std::string& why) {
  return "Ошибка! Не удалось записать файл " + file.string() + ": " + why;
}

fs::path OutputTarget(const fs::path& file) {
  fs::path target = file;
  std::error_code ec;
  for (int links = 0; fs::is_symlink(fs::symlink_status(target, ec)); ++links) {
    if (links == kMostLinks) throw PinwrightError(OutputFailure(file, "ссылки ведут по кругу"));
    const fs::path next = fs::read_symlink(target, ec);
    if (ec) throw PinwrightError(OutputFailure(file, ec.message()));
    target = next.is_absolute() ? next : target.parent_path() / next;
  }
  const fs::file_type kind = fs::symlink_status(target, ec).type();
  // none: the kind could not be looked at (a folder on the way is closed); the write will tell why.
  if (kind != fs::file_type::not_found && kind != fs::file_type::regular && kind != fs::file_type::none) {
    throw PinwrightError(OutputFailure(file, kNotRegularFile));
  }
  return target;
}

}  // namespace pw
