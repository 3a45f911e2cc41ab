#pragma once
/// @file
/// --verbose: the programmer's driver with one line for every exchange and its size.

#include <cstdint>
#include <functional>
#include <string>

#include "d2xx/ForwardingD2xx.h"

namespace pw::cli {

/// Passes every call on to the driver it wraps; after each write and read that succeeded, gives
/// line the exchange's size (texts::ExchangeWrote, texts::ExchangeRead). The operations and the
/// unit see a driver like any other, so every family's exchanges show without a hook in each.
class ExchangeLog : public ForwardingD2xx {
 public:
  ExchangeLog(D2xx& driver, std::function<void(const std::string&)> line);

  FT_STATUS Read(FT_HANDLE handle, void* buffer, std::uint32_t count, std::uint32_t* got) override;
  FT_STATUS Write(FT_HANDLE handle, const void* buffer, std::uint32_t count, std::uint32_t* written) override;

 private:
  std::function<void(const std::string&)> line_;
};

}  // namespace pw::cli
