#pragma once
/// @file
/// The chip tray: one socket that sees chip after chip on a timed schedule, as an operator or a
/// handler puts them in and takes them out during a production run. Chip n stands in the socket
/// from (n-1)·Period to n·Period − Out of virtual time; between two chips and after the last the
/// socket is empty, unpowered, and answers nothing. A chip taken out is powered off and keeps its
/// memories; the next one starts powered off, with memories and faults of its own.

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "sim/SimChips.h"

namespace pw::sim {

/// When each chip of a tray stands in the socket.
struct SimTraySchedule {
  std::uint32_t Chips = 0;
  SimTime Period = 0;
  /// How long the socket stays empty at the end of each period; less than Period.
  SimTime Out = 0;

  /// The index (0-based) of the chip in the socket at now, or nothing for an empty socket.
  std::optional<std::size_t> ChipAt(SimTime now) const;
};

/// The socket of a tray as the board sees it: the chip a family's Step reaches, if any.
template <class Chip>
class SimTrayOf : public Chip {
 public:
  SimTrayOf(SimTraySchedule schedule, std::vector<std::unique_ptr<Chip>> chips)
      : schedule_(schedule), chips_(std::move(chips)) {}

  void PowerOff() override {
    if (in_) in_->PowerOff();
  }
  /// The bench binds each chip's memories to files of its own.
  std::vector<SimMemory> Memories() override { return {}; }
  /// The chips in tray order, for a test to look into.
  Chip& At(std::size_t index) { return *chips_.at(index); }

 protected:
  /// The chip in the socket at the environment's time; a chip taken out is powered off.
  Chip* Present(const SimEnvironment& env) {
    const auto index = schedule_.ChipAt(env.Now);
    Chip* now = index && *index < chips_.size() ? chips_[*index].get() : nullptr;
    if (now != in_ && in_) in_->PowerOff();
    in_ = now;
    return in_;
  }

 private:
  SimTraySchedule schedule_;
  std::vector<std::unique_ptr<Chip>> chips_;
  Chip* in_ = nullptr;
};

class SimAvrTray final : public SimTrayOf<SimAvrChip> {
 public:
  using SimTrayOf::SimTrayOf;
  std::optional<bool> Step(bool reset, bool sck, bool mosi, const SimEnvironment& env) override {
    SimAvrChip* chip = Present(env);
    return chip ? chip->Step(reset, sck, mosi, env) : std::nullopt;
  }
};

class SimSpiTray final : public SimTrayOf<SimSpiChip> {
 public:
  using SimTrayOf::SimTrayOf;
  std::optional<bool> Step(bool cs, bool sck, bool mosi, const SimEnvironment& env) override {
    SimSpiChip* chip = Present(env);
    return chip ? chip->Step(cs, sck, mosi, env) : std::nullopt;
  }
};

class SimPicTray final : public SimTrayOf<SimPicChip> {
 public:
  using SimTrayOf::SimTrayOf;
  std::optional<bool> Step(bool powered, bool vpp, bool pgc, bool pgd, const SimEnvironment& env) override {
    SimPicChip* chip = Present(env);
    return chip ? chip->Step(powered, vpp, pgc, pgd, env) : std::nullopt;
  }
};

class SimI2cTray final : public SimTrayOf<SimI2cChip> {
 public:
  using SimTrayOf::SimTrayOf;
  bool Step(bool scl, bool sda, const SimEnvironment& env) override {
    SimI2cChip* chip = Present(env);
    return chip && chip->Step(scl, sda, env);
  }
};

}  // namespace pw::sim
