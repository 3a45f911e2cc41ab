#pragma once
/// @file
/// Reading a trace of the virtual programmer back through sigrok-cli.

#include <filesystem>
#include <string>
#include <vector>

namespace pw::test {

/// Whether sigrok-cli is installed.
bool HaveSigrok();

/// Runs sigrok-cli on trace as 8-channel binary logic data with extra arguments (for example
/// "-O csv" or "-P spi:clk=5:mosi=3:miso=7 -A spi=mosi-data"); returns what it printed.
std::string RunSigrok(const std::filesystem::path& trace, const std::string& arguments);

/// The bytes a decoder's annotation row printed ("spi-1: 9F" lines), in order.
std::vector<int> SigrokBytes(const std::string& output);

/// The data rows of sigrok-cli's CSV output, one string "d0,d1,...,d7" per sample.
std::vector<std::string> SigrokCsvRows(const std::string& csv);

}  // namespace pw::test
