#include "common/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/Error.h"

namespace pw {
namespace {

[[noreturn]] void Fail(const std::filesystem::path& file, const std::string& why) {
  throw PinwrightError("Ошибка! Не удалось прочитать файл " + file.string() + ": " + why);
}

/// Closes the descriptor on every way out.
struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
};

std::string TooLarge(std::uintmax_t limit) { return "файл больше допустимых " + std::to_string(limit) + " байт"; }

}  // namespace

std::string ReadRegularFile(const std::filesystem::path& file, std::uintmax_t limit) {
  // A look before opening: opening a FIFO for reading would wait for a writer.
  std::error_code ec;
  const auto kind = std::filesystem::status(file, ec).type();
  if (!ec && kind != std::filesystem::file_type::regular) Fail(file, kNotRegularFile);
  // O_NONBLOCK as well: the name may have been swapped for a FIFO since the look.
  const Descriptor in{::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
  if (in.fd < 0) Fail(file, std::strerror(errno));
  struct stat info {};
  if (::fstat(in.fd, &info) != 0) Fail(file, std::strerror(errno));
  if (!S_ISREG(info.st_mode)) Fail(file, kNotRegularFile);
  if (static_cast<std::uintmax_t>(info.st_size) > limit) Fail(file, TooLarge(limit));
  return ReadDescriptor(in.fd, file, limit);
}

std::string ReadDescriptor(int fd, const std::filesystem::path& file, std::uintmax_t limit) {
  std::string text;
  char chunk[1 << 16];
  for (;;) {
    const ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) Fail(file, std::strerror(errno));
    if (got == 0) break;
    // A file that grows while it is read is held to the same limit.
    if (text.size() + static_cast<std::size_t>(got) > limit) Fail(file, TooLarge(limit));
    text.append(chunk, static_cast<std::size_t>(got));
  }
  return text;
}

}  // namespace pw
