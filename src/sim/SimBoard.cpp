#include "sim/SimBoard.h"

#include "d2xx/Wiring.h"

namespace pw::sim {
namespace {

bool High(std::uint8_t lines, std::uint8_t bit) { return (lines & bit) != 0; }

std::uint8_t Put(std::uint8_t lines, std::uint8_t bit, bool level) {
  return level ? static_cast<std::uint8_t>(lines | bit) : static_cast<std::uint8_t>(lines & ~bit);
}

void PowerOff(SimChip* chip) {
  if (chip) chip->PowerOff();
}

}  // namespace

void SimBoard::SelectMask(std::uint8_t mask) {
  if (mask == poweredMask_) return;
  if (poweredMask_ == wiring::avr::Mask) PowerOff(Avr.get());
  if (poweredMask_ == wiring::spiflash::Mask) PowerOff(Spi.get());
  if (poweredMask_ == wiring::pic::Mask) PowerOff(Pic.get());
  if (poweredMask_ == wiring::i2c::Mask) PowerOff(I2c.get());
  i2cScl_ = true;
  i2cSda_ = true;
  poweredMask_ = mask;
}

std::uint8_t SimBoard::Settle(std::uint8_t lines, std::uint8_t mask, const SimEnvironment& env) {
  SelectMask(mask);
  // The wires' faults act on what the programmer drives, before a chip sees it, and again on
  // what the chip drives back, before the FT232R reads it.
  lines = Lines.Apply(lines);
  if (mask == wiring::avr::Mask) return Lines.Apply(SettleAvr(lines, env));
  if (mask == wiring::pic::Mask) return Lines.Apply(SettlePic(lines, env));
  if (mask == wiring::i2c::Mask) return Lines.Apply(SettleI2c(lines, env));
  return lines;
}

std::uint8_t SimBoard::SettleAvr(std::uint8_t lines, const SimEnvironment& env) {
  using namespace wiring::avr;
  if (Spi) {
    const auto out = Spi->Step(High(lines, wiring::spiflash::Cs), High(lines, Sck), High(lines, Mosi), env);
    return out ? Put(lines, Miso, *out) : lines;
  }
  if (!Avr) return lines;
  const auto miso = Avr->Step(High(lines, Reset), High(lines, Sck), High(lines, Mosi), env);
  return miso ? Put(lines, Miso, *miso) : lines;
}

std::uint8_t SimBoard::SettlePic(std::uint8_t lines, const SimEnvironment& env) {
  using namespace wiring::pic;
  // PGD is the sense line's own wire: its faults are what the chip sees of the driver.
  lines = Lines.Apply(Put(lines, PgdIn, !High(lines, PgdOut)));
  bool pgd = High(lines, PgdIn);
  if (Pic) {
    const bool powered = High(lines, SupplyA) && High(lines, SupplyB);
    const auto drive = Pic->Step(powered, !High(lines, Mclr), High(lines, Pgc), pgd, env);
    if (drive) pgd = pgd && *drive;
  }
  return Put(lines, PgdIn, pgd);
}

std::uint8_t SimBoard::SettleI2c(std::uint8_t lines, const SimEnvironment& env) {
  using namespace wiring::i2c;
  const bool scl = High(lines, Scl);
  lines = Lines.Apply(Put(lines, SdaIn, !High(lines, SdaOut)));
  bool sda = High(lines, SdaIn);
  if (I2c) {
    if (scl != i2cScl_ && sda != i2cSda_) {
      // Both lines move in this sample: the chip sees the board's order, one edge at a time.
      if (I2cSdaAfterScl) {
        I2c->Step(scl, i2cSda_, env);
      } else {
        I2c->Step(i2cScl_, sda, env);
      }
    }
    i2cScl_ = scl;
    i2cSda_ = sda;
    if (I2c->Step(scl, sda, env)) sda = false;
  }
  return Put(lines, SdaIn, sda);
}

}  // namespace pw::sim
