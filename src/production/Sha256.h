#pragma once
/// @file
/// SHA-256 (FIPS 180-4), for the digests the production record keeps of each programmed file.

#include <string>
#include <string_view>

namespace pw::production {

/// SHA-256 of bytes as 64 lower-case hex digits.
std::string Sha256Hex(std::string_view bytes);

}  // namespace pw::production
