#include "sim/SimPic18Icsp.h"

namespace pw::sim {

void SimPic18Icsp::Reset(bool pgc) {
  inOperand_ = false;
  prevPgc_ = pgc;
  clocks_ = 0;
  shift_ = 0;
  out_.reset();
  drive_.reset();
}

SimPic18Icsp::Event SimPic18Icsp::Clock(bool pgc, bool pgd) {
  Event event;
  if (pgc && !prevPgc_) event = Rise();
  if (!pgc && prevPgc_) event = Fall(pgd);
  prevPgc_ = pgc;
  return event;
}

SimPic18Icsp::Event SimPic18Icsp::Rise() {
  const int edge = clocks_ + 1;  // this rising edge's number in the command or operand
  if (!inOperand_) return edge == 4 ? Event{Event::FourthRise} : Event{};
  if (edge >= 9 && out_) drive_ = ((*out_ >> (edge - 9)) & 1) != 0;
  return edge == 1 ? Event{Event::OperandStart} : Event{};
}

SimPic18Icsp::Event SimPic18Icsp::Fall(bool pgd) {
  if (pgd) shift_ = static_cast<std::uint16_t>(shift_ | (1u << clocks_));
  ++clocks_;
  if (clocks_ < (inOperand_ ? 16 : 4)) return {};
  const Event done{inOperand_ ? Event::Operand : Event::Command, shift_};
  if (inOperand_) {
    out_.reset();
    drive_.reset();
  }
  inOperand_ = !inOperand_;
  clocks_ = 0;
  shift_ = 0;
  return done;
}

}  // namespace pw::sim
