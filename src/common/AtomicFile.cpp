#include "common/AtomicFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "common/Error.h"

namespace pw {
namespace {

/// Writes all of data to fd, then forces it to the disk; false with errno set on failure.
bool WriteAndSync(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t put = ::write(fd, data.data(), data.size());
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) return false;
    data.remove_prefix(static_cast<std::size_t>(put));
  }
  return ::fsync(fd) == 0;
}

/// Forces the folder's entries (the rename) to the disk.
bool SyncFolder(const std::filesystem::path& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  ::close(fd);
  return synced;
}

}  // namespace

void WriteFileAtomically(const std::filesystem::path& path, std::string_view data) {
  auto temp = path;
  temp += ".tmp~";
  const auto fail = [&](const std::string& why) {
    std::error_code ignored;
    std::filesystem::remove(temp, ignored);
    throw PinwrightError("Ошибка! Не удалось записать файл " + path.string() + ": " + why);
  };
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) fail(std::strerror(errno));
  // The data must be on the disk before the rename makes it the file: a crash in between
  // would otherwise leave an empty file where the old one was.
  const bool written = WriteAndSync(fd, data);
  const int writeError = errno;
  if (::close(fd) != 0 && written) fail(std::strerror(errno));
  if (!written) fail(std::strerror(writeError));
  std::error_code ec;
  std::filesystem::rename(temp, path, ec);
  if (ec) fail(ec.message());
  // The file is complete under its name now; a folder that cannot be synced loses nothing of it.
  SyncFolder(path.parent_path());
}

}  // namespace pw
