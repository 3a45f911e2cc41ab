#include "common/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <string>

#include "common/Error.h"
#include "common/OutputTarget.h"

namespace pw {
namespace {

namespace fs = std::filesystem;

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
bool SyncFolder(const fs::path& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  ::close(fd);
  return synced;
}

/// A name no other save can be using: hidden beside target, with its name in it so that a file
/// left by a killed program says whose it was, and a random tail.
fs::path TempName(const fs::path& target, std::mt19937& random) {
  static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
  // The tail must fit within a name's 255 bytes.
  std::string name = "." + target.filename().string().substr(0, 200) + kAtomicTempMark;
  for (int k = 0; k < 6; ++k) name += kLetters[pick(random)];
  return target.parent_path() / name;
}

/// A new file of its own beside target (created, never reused), with the permissions a new file
/// gets under the umask, or those of the file it replaces. Returns its descriptor, or -1 with
/// errno set.
int CreateTemp(const fs::path& target, fs::path& temp) {
  std::random_device seed;
  std::mt19937 random(seed());
  int fd = -1;
  for (int tries = 0; tries < 100 && fd < 0; ++tries) {
    temp = TempName(target, random);
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return -1;
  }
  struct stat old {};
  if (fd >= 0 && ::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) ::fchmod(fd, old.st_mode & 07777);
  return fd;
}

}  // namespace

void WriteFileAtomically(const fs::path& path, std::string_view data) {
  const fs::path target = OutputTarget(path);
  fs::path temp;
  const auto fail = [&](const std::string& why) {
    std::error_code ignored;
    fs::remove(temp, ignored);
    throw PinwrightError(OutputFailure(path, why));
  };
  const int fd = CreateTemp(target, temp);
  if (fd < 0) throw PinwrightError(OutputFailure(path, std::strerror(errno)));
  // The data must be on the disk before the rename makes it the file: a crash in between
  // would otherwise leave an empty file where the old one was.
  const bool written = WriteAndSync(fd, data);
  const int writeError = errno;
  if (::close(fd) != 0 && written) fail(std::strerror(errno));
  if (!written) fail(std::strerror(writeError));
  // The name may have become a pipe or a folder while the data was written.
  try {
    OutputTarget(path);
  } catch (const PinwrightError&) {
    fail(kNotRegularFile);
  }
  std::error_code ec;
  fs::rename(temp, target, ec);
  if (ec) fail(ec.message());
  // The file is complete under its name now; a folder that cannot be synced loses nothing of it.
  SyncFolder(target.parent_path());
}

}  // namespace pw
