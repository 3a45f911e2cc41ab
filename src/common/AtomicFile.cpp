#include "common/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <string>

#include "common/Error.h"

namespace pw {

void WriteFileAtomically(const std::filesystem::path& path, std::string_view data) {
  auto temp = path;
  temp += ".tmp~";
  const auto fail = [&](const std::string& why) {
    std::error_code ignored;
    std::filesystem::remove(temp, ignored);
    throw PinwrightError("Ошибка! Не удалось записать файл " + path.string() + ": " + why);
  };
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) fail(std::strerror(errno));
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    out.flush();
    if (!out) fail(std::strerror(errno));
  }
  std::error_code ec;
  std::filesystem::rename(temp, path, ec);
  if (ec) fail(ec.message());
}

}  // namespace pw
