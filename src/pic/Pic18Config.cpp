// Pic18Operations, the configuration area: device ID, IDs and configuration bytes.

#include <algorithm>

#include "frame/ImageDifferences.h"
#include "pic/Pic18Operations.h"
#include "pic/PicTexts.h"

namespace pw {
namespace {

/// Where the device ID lies in the area.
constexpr std::size_t kDeviceIdByte = 12;
/// Configuration bytes in the order they are written: CONFIG6H (which write-protects the
/// configuration) after the code- and table-read protection, and those after the rest.
constexpr std::size_t kConfigOrder[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 13, 11};
/// A byte the area does not give.
constexpr std::uint8_t kAbsent = 0xFF;

/// The chip's byte address of area offset k.
std::uint32_t AddressOf(std::size_t k) {
  if (k < pic18::kIdBytes) return pic18::kIdAddress + static_cast<std::uint32_t>(k);
  return pic18::kConfigAddress + static_cast<std::uint32_t>(k - kPicConfigWordByte);
}

}  // namespace

std::uint16_t Pic18Operations::ReadDeviceId() {
  std::uint8_t id[2] = {};
  utils_.ReadBytes(pic18::kDeviceIdAddress, id);
  utils_.Flush();
  return static_cast<std::uint16_t>(id[0] | id[1] << 8);
}

PicConfigArea Pic18Operations::ReadConfigArea() {
  PicConfigArea area = PicErasedArea();
  const std::span<std::uint8_t> all(area);
  utils_.ReadBytes(pic18::kIdAddress, all.first(pic18::kIdBytes));
  utils_.ReadBytes(pic18::kDeviceIdAddress, all.subspan(kDeviceIdByte, 2));
  utils_.ReadBytes(pic18::kConfigAddress, all.subspan(kPicConfigWordByte));
  utils_.Flush();
  return area;
}

std::uint8_t Pic18Operations::NamedBits(std::size_t i) const {
  unsigned bits = 0;
  for (std::size_t b = 0; b < 8; ++b) {
    if (type_.Named(8 * i + b)) bits |= 1u << b;
  }
  return static_cast<std::uint8_t>(bits);
}

std::vector<std::pair<std::size_t, std::uint8_t>> Pic18Operations::BytesGiven(const PicConfigArea& area) const {
  std::vector<std::pair<std::size_t, std::uint8_t>> given;
  for (std::size_t k = 0; k < pic18::kIdBytes; ++k) {
    if (area[k] != kAbsent) given.emplace_back(k, std::uint8_t{0xFF});
  }
  for (const std::size_t i : kConfigOrder) {
    const std::size_t k = kPicConfigWordByte + i;
    if (NamedBits(i) != 0 && area[k] != kAbsent) given.emplace_back(k, NamedBits(i));
  }
  return given;
}

void Pic18Operations::WriteConfigArea(const PicConfigArea& area) {
  const auto given = BytesGiven(area);
  if (!given.empty() && given.front().first < pic18::kIdBytes) {
    utils_.WriteBuffer(pic18::kIdAddress, std::span(area).first(pic18::kIdBytes), ProgramMs());
  }
  for (const auto& [k, bits] : given) {
    if (k >= kPicConfigWordByte) utils_.WriteConfigByte(AddressOf(k), area[k], ProgramMs());
  }
  utils_.Flush();
}

bool Pic18Operations::ConfigTaken(OperationRun& run, const PicConfigArea& area) {
  const PicConfigArea back = ReadConfigArea();
  for (const auto& [k, bits] : BytesGiven(area)) {
    if (((area[k] ^ back[k]) & bits) == 0) continue;
    run.TargetFailed(texts::Pic18ConfigNotTaken(AddressOf(k), area[k] & bits, back[k] & bits));
    return false;
  }
  return true;
}

void Pic18Operations::VerifyConfig(OperationRun& run, const PicConfigArea& area) {
  const auto given = BytesGiven(area);
  if (given.empty()) return;
  const PicConfigArea chip = ReadConfigArea();
  ImageDifferences differences;
  for (const auto& [k, bits] : given) {
    if (((area[k] ^ chip[k]) & bits) != 0) differences.Add(AddressOf(k), area[k] & bits, chip[k] & bits);
  }
  ReportDifferences(run, differences, texts::kPicConfigSame, texts::kPicConfigDiffers, "байт", 6);
}

std::int32_t Pic18Operations::ProgramMs() const { return std::max(pic18::kP9Ms, type_.ProgramMs); }

void Pic18Operations::BulkErase() { utils_.BulkErase(pic18::kChipEraseKey, std::max(pic18::kP11Ms, type_.ProgramMs)); }

}  // namespace pw
