#include "sim/SimAvrSpi.h"

namespace pw::sim {

void SimAvrSpi::Reset() { *this = SimAvrSpi(); }

std::optional<std::uint8_t> SimAvrSpi::Clock(bool sck, bool mosi) {
  completed_.reset();
  if (sck && !sck_) Rise(mosi);
  if (!sck && sck_) Fall();
  sck_ = sck;
  return completed_;
}

void SimAvrSpi::Rise(bool mosi) {
  in_ = static_cast<std::uint8_t>((in_ << 1) | (mosi ? 1 : 0));
  if (++bits_ < 8) return;
  bits_ = 0;
  completed_ = in_;
  // Unless told otherwise the byte just received goes out again: the echo.
  SetNext(in_);
}

void SimAvrSpi::SetNext(std::uint8_t byte) {
  next_ = byte;
  loadPending_ = true;
}

void SimAvrSpi::Fall() {
  if (loadPending_) {
    shift_ = next_;
    loadPending_ = false;
  } else {
    shift_ = static_cast<std::uint8_t>(shift_ << 1);
  }
}

}  // namespace pw::sim
