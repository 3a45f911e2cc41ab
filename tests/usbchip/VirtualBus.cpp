#include "VirtualBus.h"

#include <libusb.h>

#include <thread>

#include "VirtualUsbTypes.h"

namespace pw::usbchip {

namespace {

std::uint64_t SlotStart(std::uint64_t slot) {
  return slot / kSlotsPerFrame * kFrameNs + slot % kSlotsPerFrame * kFrameNs / kSlotsPerFrame;
}

void LIBUSB_CALL SyncDone(libusb_transfer* transfer) { *static_cast<int*>(transfer->user_data) = 1; }

}  // namespace

VirtualBus& VirtualBus::Get() {
  static VirtualBus bus;
  return bus;
}

void VirtualBus::Reset() {
  for (auto& chip : chips_) delete chip->UsbDevice;
  chips_.clear();
  active_.clear();
  finished_.clear();
  conditions_ = {};
  now_ = 0;
  slot_ = 0;
  turn_ = 0;
  paceStart_.reset();
}

VirtualChip& VirtualBus::Plug(std::unique_ptr<sim::SimDevice> device) {
  chips_.push_back(std::make_unique<VirtualChip>(std::move(device), conditions_));
  VirtualChip& chip = *chips_.back();
  chip.UsbDevice = new libusb_device{&chip, static_cast<int>(chips_.size()) + 1};
  chip.LastInPacketNs = now_;
  return chip;
}

VirtualChip& VirtualBus::PlugBare(const std::string& description, const std::string& serial) {
  return Plug(std::make_unique<sim::SimDevice>(sim::SimDeviceConfig{description, serial}));
}

void VirtualBus::PlugBench(sim::SimFt232r& bench) {
  conditions_.Timing = bench.Timing();
  conditions_.Faults = bench.Faults();
  for (auto& device : bench.Devices()) {
    VirtualChip& chip = Plug(std::move(device));
    chip.UnplugAfterSamples = conditions_.Faults.UnplugAfter();
    chip.UnplugAfterEepromWrites = conditions_.Faults.UnplugAfterEepromWords();
  }
}

void VirtualBus::StartTrace(const std::filesystem::path& path) {
  conditions_.Trace = std::make_unique<sim::SimTrace>(path);
}

VirtualChip* VirtualBus::ChipOf(const libusb_transfer* transfer) {
  if (!transfer->dev_handle || !transfer->dev_handle->Device) return nullptr;
  return transfer->dev_handle->Device->Chip;
}

void VirtualBus::Advance(std::uint64_t ns) {
  const std::uint64_t end = now_ + ns;
  while (now_ < end) HandleEvents(end - now_);
}

int VirtualBus::Submit(libusb_transfer* transfer) {
  VirtualChip* chip = ChipOf(transfer);
  if (!chip || !chip->Plugged) return LIBUSB_ERROR_NO_DEVICE;
  const bool in = (transfer->endpoint & LIBUSB_ENDPOINT_IN) != 0;
  bool& halted = in ? chip->InHalted : chip->OutHalted;
  if (halted) return LIBUSB_ERROR_PIPE;
  transfer->actual_length = 0;
  // A failing Read or Write stalls its endpoint, which stays halted: libftdi1 would resubmit a
  // transfer that merely failed and never tell.
  halted = conditions_.Faults.Count(in ? sim::SimCall::Read : sim::SimCall::Write) != FT_OK;
  active_.push_back({transfer, now_, false, halted});
  return 0;
}

int VirtualBus::Cancel(libusb_transfer* transfer) {
  for (Active& a : active_) {
    if (a.Transfer == transfer) {
      a.Cancelled = true;
      return 0;
    }
  }
  return LIBUSB_ERROR_NOT_FOUND;
}

void VirtualBus::Finish(std::size_t index, int status) {
  active_[index].Transfer->status = static_cast<libusb_transfer_status>(status);
  finished_.push_back(active_[index].Transfer);
  active_.erase(active_.begin() + static_cast<std::ptrdiff_t>(index));
}

bool VirtualBus::MovePacket(Active& a, VirtualChip& chip) {
  libusb_transfer* t = a.Transfer;
  unsigned char* at = t->buffer + t->actual_length;
  const std::size_t room = static_cast<std::size_t>(t->length - t->actual_length);
  if (t->endpoint & LIBUSB_ENDPOINT_IN) {
    const std::size_t n = chip.GiveIn(at, std::min(room, kPacketSize), now_);
    t->actual_length += static_cast<int>(n);
    return n > 0;
  }
  const std::size_t n = std::min(room, kPacketSize);
  if (!chip.TakeOut(at, n)) return false;
  t->actual_length += static_cast<int>(n);
  return true;
}

void VirtualBus::EndTransfers() {
  for (std::size_t i = active_.size(); i-- > 0;) {
    const Active& a = active_[i];
    const VirtualChip* chip = ChipOf(a.Transfer);
    const std::uint64_t timeout = std::uint64_t{a.Transfer->timeout} * kFrameNs;
    if (a.Cancelled)
      Finish(i, LIBUSB_TRANSFER_CANCELLED);
    else if (!chip || !chip->Plugged)
      Finish(i, LIBUSB_TRANSFER_NO_DEVICE);
    else if (a.Failed && now_ > a.SubmittedNs)
      Finish(i, LIBUSB_TRANSFER_STALL);
    else if (timeout && now_ - a.SubmittedNs >= timeout)
      Finish(i, LIBUSB_TRANSFER_TIMED_OUT);
  }
}

void VirtualBus::Slot() {
  ++slot_;
  const std::uint64_t start = now_;
  now_ = SlotStart(slot_);
  for (auto& chip : chips_) chip->Clock(now_ - start, now_);
  EndTransfers();
  // One packet per slot, the endpoints taking turns; a NAK costs nothing here.
  for (std::size_t k = 0; k < active_.size(); ++k) {
    const std::size_t i = (turn_ + k) % active_.size();
    Active& a = active_[i];
    if (ReadyNs(a) >= now_) continue;  // submitted during this slot: scheduled from the next
    const int before = a.Transfer->actual_length;
    if (!MovePacket(a, *ChipOf(a.Transfer))) continue;
    turn_ = i + 1;
    libusb_transfer* t = a.Transfer;
    const bool shortPacket =
        (t->endpoint & LIBUSB_ENDPOINT_IN) && t->actual_length - before < static_cast<int>(kPacketSize);
    if (shortPacket || t->actual_length == t->length) Finish(i, LIBUSB_TRANSFER_COMPLETED);
    break;
  }
}

std::uint64_t VirtualBus::ReadyNs(const Active& a) const {
  if (a.Transfer->endpoint & LIBUSB_ENDPOINT_IN) return a.SubmittedNs;
  const std::uint64_t latencyNs = conditions_.Timing.Latency / 1000;
  return a.SubmittedNs + (latencyNs > kFrameNs ? latencyNs - kFrameNs : 0);
}

void VirtualBus::KeepPace() {
  if (!conditions_.Timing.RealTime) return;
  if (!paceStart_) {
    paceStart_ = std::chrono::steady_clock::now();
    paceFrom_ = now_;
    return;
  }
  std::this_thread::sleep_until(*paceStart_ + std::chrono::nanoseconds(now_ - paceFrom_));
}

void VirtualBus::HandleEvents(std::uint64_t timeoutNs) {
  const std::uint64_t start = now_;
  do {
    Slot();
  } while (finished_.empty() && now_ - start < timeoutNs);
  KeepPace();
  std::vector<libusb_transfer*> done;
  done.swap(finished_);
  for (libusb_transfer* t : done) {
    if (t->callback) t->callback(t);
  }
}

int VirtualBus::BulkSync(VirtualChip& chip, unsigned char endpoint, unsigned char* data, int length, int* transferred,
                         unsigned int timeoutMs) {
  int completed = 0;
  libusb_transfer t{};
  libusb_device_handle handle{chip.UsbDevice, true};
  t.dev_handle = &handle;
  t.endpoint = endpoint;
  t.type = LIBUSB_TRANSFER_TYPE_BULK;
  t.timeout = timeoutMs;
  t.buffer = data;
  t.length = length;
  t.callback = SyncDone;
  t.user_data = &completed;
  if (const int rc = Submit(&t)) return rc;
  while (!completed) HandleEvents(0);
  if (transferred) *transferred = t.actual_length;
  switch (t.status) {
    case LIBUSB_TRANSFER_COMPLETED:
      return 0;
    case LIBUSB_TRANSFER_TIMED_OUT:
      return LIBUSB_ERROR_TIMEOUT;
    case LIBUSB_TRANSFER_NO_DEVICE:
      return LIBUSB_ERROR_NO_DEVICE;
    case LIBUSB_TRANSFER_STALL:
      return LIBUSB_ERROR_PIPE;
    default:
      return LIBUSB_ERROR_IO;
  }
}

}  // namespace pw::usbchip
