// Any bytes as a bench file: the bench is built or refused with PinwrightError. Memory files
// are looked for in an empty scratch folder; nothing is written back.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "common/Error.h"
#include "sim/Bench.h"

namespace {

std::filesystem::path ScratchFolder() {
  static const std::filesystem::path folder = [] {
    auto path = std::filesystem::temp_directory_path() / ("pinwright-fuzz-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(path);
    return path;
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const auto bench =
        pw::sim::Bench::FromText(std::string(reinterpret_cast<const char*>(data), size), ScratchFolder());
    (void)bench->Board();
  } catch (const pw::PinwrightError&) {
  }
  return 0;
}
