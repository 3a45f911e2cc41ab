#include "common/StandardStreams.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/AtomicFile.h"
#include "common/Error.h"
#include "common/OutputTarget.h"
#include "common/RegularFile.h"

namespace pw {

std::string ReadStandardInput(std::uintmax_t limit) { return ReadDescriptor(STDIN_FILENO, kStandardStream, limit); }

void WriteOutputFile(const std::filesystem::path& file, std::string_view data) {
  if (!IsStandardStream(file)) return WriteFileAtomically(file, data);
  while (!data.empty()) {
    const ssize_t put = ::write(STDOUT_FILENO, data.data(), data.size());
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) throw PinwrightError(OutputFailure(file, std::strerror(errno)));
    data.remove_prefix(static_cast<std::size_t>(put));
  }
}

}  // namespace pw
