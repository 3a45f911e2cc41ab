#pragma once
/// @file
/// Peer tools (Debian's ftdi_eeprom and avrdude) run on the preloadable virtual programmer.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/TestDirs.h"

namespace pw::test {

inline constexpr const char* kFtdiEeprom = "/usr/bin/ftdi_eeprom";
inline constexpr const char* kAvrdude = "/usr/bin/avrdude";
// avrdude's ft232r programmer with this board's wiring (docs/hardware.md).
inline constexpr const char* kAvrdudeBoard = R"(programmer parent "ft232r"
    id = "pinwright";
    desc = "Pinwright programmer board";
    reset = 6;
    sck = 5;
    sdo = 3;
    sdi = 7;
;
)";

#ifndef PINWRIGHT_PRELOAD
#define PINWRIGHT_PRELOAD ""  // a sanitizer build: the tests below skip
#endif

/// Skips unless tool is installed and the preloadable library was built for it.
#define REQUIRE_TOOL(tool)                                                         \
  if (!std::filesystem::exists(tool)) GTEST_SKIP() << tool << " is not installed"; \
  if (!*PINWRIGHT_PRELOAD) GTEST_SKIP() << "a sanitizer build cannot be preloaded into " << tool

/// tool with args in dir, on the virtual programmer of dir/bench.ini; returns what it printed.
inline std::string RunTool(const TempDir& dir, const std::string& tool, const std::string& args) {
  const std::string command = "cd '" + dir.Path().string() +
                              "' && LD_PRELOAD='" PINWRIGHT_PRELOAD "' PINWRIGHT_VIRTUAL_BENCH=bench.ini " + tool +
                              " " + args + " > tool.txt 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0) << test::ReadText(dir / "tool.txt");
  return test::ReadText(dir / "tool.txt");
}

/// tool with args in dir, on the virtual programmer of dir/bench.ini, with the environment's
/// further settings env (NAME=value); what it printed and returned.
inline CliResult RunPreloaded(const TempDir& dir, const std::string& tool, const std::vector<std::string>& args,
                              const std::vector<std::string>& env = {}) {
  std::vector<std::string> all = {"LD_PRELOAD=" PINWRIGHT_PRELOAD, "PINWRIGHT_VIRTUAL_BENCH=bench.ini"};
  all.insert(all.end(), env.begin(), env.end());
  all.push_back(tool);
  all.insert(all.end(), args.begin(), args.end());
  return RunProgram("/usr/bin/env", all, dir.Path());
}

/// The avrdude command for an ATmega328P on the board of dir, whose bench.ini is bench.
inline std::string AvrdudeOn(TempDir& dir, const std::string& bench) {
  dir.Write("board.conf", kAvrdudeBoard);
  dir.Write("bench.ini", bench);
  // A factory ATmega328P runs at 1 MHz and the simulated one garbles an SCK faster than it can
  // follow; -B 4kHz keeps avrdude's clock well inside that.
  return std::string(kAvrdude) + " -C +board.conf -c pinwright -p m328p -P usb -B 4kHz ";
}

}  // namespace pw::test
