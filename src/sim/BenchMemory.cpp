#include "sim/BenchMemory.h"

#include <algorithm>
#include <string>

#include "common/AtomicFile.h"
#include "common/Error.h"
#include "common/RegularFile.h"

namespace pw::sim {

void LoadMemoryFile(const std::filesystem::path& file, std::span<std::uint8_t> memory) {
  std::error_code ec;
  const auto kind = std::filesystem::symlink_status(file, ec).type();
  if (kind == std::filesystem::file_type::not_found) return;
  if (std::filesystem::is_directory(file, ec)) {
    throw PinwrightError("Ошибка! Файл памяти " + file.string() + " - это папка");
  }
  // The limit keeps a huge file from filling memory before its size is judged.
  const std::string bytes = ReadRegularFile(file, kMemoryFileLimit);
  if (bytes.size() != memory.size()) {
    throw PinwrightError("Ошибка! Размер файла памяти " + file.string() + " " + std::to_string(bytes.size()) +
                         " байт, а у памяти микросхемы " + std::to_string(memory.size()) + " байт");
  }
  std::copy(bytes.begin(), bytes.end(), memory.begin());
}

void SaveMemoryFile(const std::filesystem::path& file, std::span<const std::uint8_t> memory) {
  WriteFileAtomically(file, std::string_view(reinterpret_cast<const char*>(memory.data()), memory.size()));
}

}  // namespace pw::sim
