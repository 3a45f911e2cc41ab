// The synchronous bit-bang exchange: the bytes written are streamed out while the bytes they
// clock back are read in, so neither of the chip's FIFOs can fill and stall it.
#include <ftdi.h>
#include <libusb.h>

#include <algorithm>

#include "ftdi/FtdiD2xx.h"
#include "ftdi/FtdiOpenDevice.h"

namespace pw::ftdi {

namespace {

/// One round of USB event handling: at most a millisecond of waiting.
int PumpEvents(ftdi_context* context) {
  timeval tv{0, 1000};
  const int rc = libusb_handle_events_timeout_completed(context->usb_ctx, &tv, nullptr);
  return rc == LIBUSB_ERROR_INTERRUPTED ? 0 : rc;
}

/// Ends a transfer: waits for a finished one, cancels one still running. Returns how many bytes
/// it moved, or -1 when it failed; wedged is set when a cancelled transfer never came back.
int Finish(ftdi_transfer_control* tc, int& bytes, bool& failed, bool& wedged) {
  if (tc->completed) {
    const int rc = ftdi_transfer_data_done(tc);
    if (rc < 0)
      failed = true;
    else
      bytes = rc;
    return bytes;
  }
  libusb_cancel_transfer(tc->transfer);
  ftdi_context* context = tc->ftdi;
  for (int round = 0; !tc->completed && round < 2000; ++round) {
    if (PumpEvents(context) < 0) break;
  }
  if (!tc->completed) {
    wedged = true;  // the transfer still points at its buffers: keep them, give the device up
    bytes = tc->offset;
    return bytes;
  }
  bytes = tc->offset;
  if (tc->transfer) libusb_free_transfer(tc->transfer);
  free(tc);  // allocated by libftdi with malloc
  return bytes;
}

}  // namespace

FT_STATUS FtdiD2xx::Exchange(OpenDevice& dev, const std::uint8_t* bytes, std::uint32_t count, std::uint32_t* written) {
  dev.Outgoing.assign(bytes, bytes + count);
  const std::uint32_t step = options_.StepBytes ? options_.StepBytes : std::max<std::uint32_t>(count, 1);
  for (std::uint32_t at = 0; at < count; at += step) {
    const std::uint32_t n = std::min(step, count - at);
    std::uint32_t done = 0;
    const FT_STATUS status = ExchangeStep(dev, dev.Outgoing.data() + at, n, &done);
    *written += done;
    if (status != FT_OK) return status;
    if (done < n) break;  // the chip stopped taking bytes: the caller sees the short count
  }
  return FT_OK;
}

FT_STATUS FtdiD2xx::ExchangeStep(OpenDevice& dev, std::uint8_t* bytes, std::uint32_t count, std::uint32_t* written) {
  ftdi_context* context = dev.Context;
  dev.Incoming.assign(count, 0);
  // The read goes first, so that the chip's first replies find a transfer waiting for them.
  ftdi_transfer_control* reading = ftdi_read_data_submit(context, dev.Incoming.data(), static_cast<int>(count));
  if (!reading) return FT_IO_ERROR;
  ftdi_transfer_control* writing = ftdi_write_data_submit(context, bytes, static_cast<int>(count));
  const std::uint64_t idle = std::uint64_t{std::max(dev.ReadMs, dev.WriteMs)} * 1000;
  const bool failed = !writing || !AwaitTransfers(context, *reading, *writing, idle);
  return EndStep(dev, reading, writing, failed, written);
}

bool FtdiD2xx::AwaitTransfers(ftdi_context* context, const ftdi_transfer_control& reading,
                              const ftdi_transfer_control& writing, std::uint64_t idle) const {
  std::uint64_t deadline = Now() + idle;
  int progress = -1;
  while (!(reading.completed && writing.completed)) {
    if (PumpEvents(context) < 0) return false;
    // The time-out counts from the last byte moved: a long run is not cut off for being long.
    const int moved = reading.offset + writing.offset;
    if (moved != progress) {
      progress = moved;
      deadline = Now() + idle;
    } else if (Now() >= deadline) {
      break;
    }
  }
  return true;
}

FT_STATUS FtdiD2xx::EndStep(OpenDevice& dev, ftdi_transfer_control* reading, ftdi_transfer_control* writing,
                            bool failed, std::uint32_t* written) {
  const int count = static_cast<int>(dev.Incoming.size());
  int sent = 0;
  int received = 0;
  bool wedged = false;
  if (writing) Finish(writing, sent, failed, wedged);
  Finish(reading, received, failed, wedged);
  received = std::clamp(received, 0, count);
  dev.Replies.insert(dev.Replies.end(), dev.Incoming.begin(), dev.Incoming.begin() + received);
  *written = static_cast<std::uint32_t>(std::clamp(sent, 0, count));
  if (wedged) {
    dev.Wedged = true;
    return FT_IO_ERROR;
  }
  return failed ? FT_IO_ERROR : FT_OK;
}

}  // namespace pw::ftdi
