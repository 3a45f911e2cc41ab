#pragma once
/// @file
/// How a PIC on the ICSP header sees its supply and MCLR: programming mode begins when Vpp
/// arrives, with the supply on, while PGC and PGD are low; Vpp arriving with either high starts
/// the program instead, and nothing is taken until MCLR drops again.

namespace pw::sim {

class SimPicEntry {
 public:
  enum class Change {
    Off,      ///< no supply or no Vpp: out of programming mode
    Enter,    ///< Vpp just arrived with PGC and PGD low
    Refused,  ///< Vpp just arrived with PGC or PGD high
    Held,     ///< Vpp stays as it was
  };

  Change Sample(bool powered, bool vpp, bool pgc, bool pgd) {
    const bool wasActive = powered_ && vpp_;
    powered_ = powered;
    vpp_ = vpp;
    if (!powered || !vpp) return Change::Off;
    if (wasActive) return Change::Held;
    return pgc || pgd ? Change::Refused : Change::Enter;
  }
  void PowerOff() { powered_ = vpp_ = false; }

 private:
  bool powered_ = false;
  bool vpp_ = false;
};

}  // namespace pw::sim
