#include "cli/ExchangeLog.h"

#include <utility>

#include "cli/CliTexts.h"

namespace pw::cli {

ExchangeLog::ExchangeLog(D2xx& driver, std::function<void(const std::string&)> line)
    : ForwardingD2xx(driver), line_(std::move(line)) {}

FT_STATUS ExchangeLog::Read(FT_HANDLE handle, void* buffer, std::uint32_t count, std::uint32_t* got) {
  const FT_STATUS status = ForwardingD2xx::Read(handle, buffer, count, got);
  if (status == FT_OK && got != nullptr) line_(texts::ExchangeRead(*got));
  return status;
}

FT_STATUS ExchangeLog::Write(FT_HANDLE handle, const void* buffer, std::uint32_t count, std::uint32_t* written) {
  const FT_STATUS status = ForwardingD2xx::Write(handle, buffer, count, written);
  if (status == FT_OK && written != nullptr) line_(texts::ExchangeWrote(*written));
  return status;
}

}  // namespace pw::cli
