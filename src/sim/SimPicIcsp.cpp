#include "sim/SimPicIcsp.h"

namespace pw::sim {

void SimPicIcsp::Reset(bool pgc) {
  mode_ = Mode::Command;
  prevPgc_ = pgc;
  clocks_ = 0;
  shift_ = 0;
  out_.reset();
  drive_.reset();
}

SimPicIcsp::Completed SimPicIcsp::Clock(bool pgc, bool pgd) {
  Completed done;
  if (pgc && !prevPgc_) Rise();
  if (!pgc && prevPgc_) done = Fall(pgd);
  prevPgc_ = pgc;
  return done;
}

void SimPicIcsp::ExpectData() {
  mode_ = Mode::DataIn;
  clocks_ = 0;
  shift_ = 0;
}

void SimPicIcsp::SendWord(std::optional<std::uint16_t> word) {
  mode_ = Mode::DataOut;
  clocks_ = 0;
  out_ = word;
}

void SimPicIcsp::Rise() {
  if (mode_ != Mode::DataOut) return;
  const int edge = clocks_ + 1;  // this rising edge's number in the frame
  if (edge >= 2 && edge <= 15 && out_) {
    drive_ = ((*out_ >> (edge - 2)) & 1) != 0;
  } else {
    drive_.reset();
  }
}

SimPicIcsp::Completed SimPicIcsp::Fall(bool pgd) {
  ++clocks_;
  switch (mode_) {
    case Mode::Command:
      return FallInCommand(pgd);
    case Mode::DataIn:
      return FallInData(pgd);
    case Mode::DataOut:
      if (clocks_ == 16) Finish(Mode::Command);
      return {};
  }
  return {};
}

SimPicIcsp::Completed SimPicIcsp::FallInCommand(bool pgd) {
  if (pgd) shift_ = static_cast<std::uint16_t>(shift_ | (1u << (clocks_ - 1)));
  if (clocks_ < 6) return {};
  const Completed done{Completed::Command, shift_};
  Finish(Mode::Command);
  return done;
}

SimPicIcsp::Completed SimPicIcsp::FallInData(bool pgd) {
  // Clock 1 is the start bit and clock 16 the stop bit: neither is looked at.
  if (clocks_ >= 2 && clocks_ <= 15 && pgd) shift_ = static_cast<std::uint16_t>(shift_ | (1u << (clocks_ - 2)));
  if (clocks_ < 16) return {};
  const Completed done{Completed::Data, shift_};
  Finish(Mode::Command);
  return done;
}

void SimPicIcsp::Finish(Mode next) {
  mode_ = next;
  clocks_ = 0;
  shift_ = 0;
  drive_.reset();
}

}  // namespace pw::sim
