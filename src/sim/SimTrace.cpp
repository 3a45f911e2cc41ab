#include "sim/SimTrace.h"

#include "common/Error.h"

namespace pw::sim {

namespace {
constexpr std::size_t kChunk = 1 << 16;
}

SimTrace::SimTrace(const std::filesystem::path& path) : file_(path, std::ios::binary | std::ios::trunc) {
  if (!file_) throw PinwrightError("Ошибка! Не удалось создать файл трассы " + path.string());
  pending_.reserve(kChunk);
}

SimTrace::~SimTrace() { Flush(); }

void SimTrace::Append(std::uint8_t levels) {
  pending_.push_back(static_cast<char>(levels));
  if (pending_.size() >= kChunk) Flush();
}

void SimTrace::Flush() {
  if (pending_.empty()) return;
  file_.write(pending_.data(), static_cast<std::streamsize>(pending_.size()));
  file_.flush();
  pending_.clear();
}

}  // namespace pw::sim
