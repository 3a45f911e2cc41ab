#include "sim/BenchMemory.h"

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/AtomicFile.h"
#include "common/Error.h"

namespace pw::sim {

void LoadMemoryFile(const std::filesystem::path& file, std::span<std::uint8_t> memory) {
  std::error_code ec;
  if (!std::filesystem::exists(file, ec)) return;
  std::ifstream in(file, std::ios::binary);
  if (!in) throw PinwrightError("Ошибка! Не удалось прочитать файл памяти " + file.string());
  const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (bytes.size() > memory.size()) {
    throw PinwrightError("Ошибка! Файл памяти " + file.string() + " больше памяти микросхемы (" +
                         std::to_string(bytes.size()) + " > " + std::to_string(memory.size()) + " байт)");
  }
  for (std::size_t i = 0; i < bytes.size(); ++i) memory[i] = static_cast<std::uint8_t>(bytes[i]);
}

void SaveMemoryFile(const std::filesystem::path& file, std::span<const std::uint8_t> memory) {
  WriteFileAtomically(file, std::string_view(reinterpret_cast<const char*>(memory.data()), memory.size()));
}

}  // namespace pw::sim
