#include "production/Sha256.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>

#include "common/HexDigits.h"
#include "common/RegularFile.h"
#include "production/ProductionRecord.h"

namespace pw::production {
namespace {

using Words = std::array<std::uint32_t, 8>;

constexpr std::array<std::uint32_t, 64> kRound{
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

constexpr Words kInitial{0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                         0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};

constexpr std::uint32_t Rotr(std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

/// The message schedule of one 64-byte block, read big-endian.
std::array<std::uint32_t, 64> Schedule(const unsigned char* block) {
  std::array<std::uint32_t, 64> w{};
  for (int t = 0; t < 16; ++t) {
    w[t] = std::uint32_t{block[4 * t]} << 24 | std::uint32_t{block[4 * t + 1]} << 16 |
           std::uint32_t{block[4 * t + 2]} << 8 | std::uint32_t{block[4 * t + 3]};
  }
  for (int t = 16; t < 64; ++t) {
    const std::uint32_t s0 = Rotr(w[t - 15], 7) ^ Rotr(w[t - 15], 18) ^ (w[t - 15] >> 3);
    const std::uint32_t s1 = Rotr(w[t - 2], 17) ^ Rotr(w[t - 2], 19) ^ (w[t - 2] >> 10);
    w[t] = w[t - 16] + s0 + w[t - 7] + s1;
  }
  return w;
}

void Compress(Words& hash, const unsigned char* block) {
  const auto w = Schedule(block);
  Words v = hash;  // a b c d e f g h
  for (int t = 0; t < 64; ++t) {
    const std::uint32_t s1 = Rotr(v[4], 6) ^ Rotr(v[4], 11) ^ Rotr(v[4], 25);
    const std::uint32_t choose = (v[4] & v[5]) ^ (~v[4] & v[6]);
    const std::uint32_t t1 = v[7] + s1 + choose + kRound[t] + w[t];
    const std::uint32_t s0 = Rotr(v[0], 2) ^ Rotr(v[0], 13) ^ Rotr(v[0], 22);
    const std::uint32_t majority = (v[0] & v[1]) ^ (v[0] & v[2]) ^ (v[1] & v[2]);
    for (int i = 7; i > 0; --i) v[i] = v[i - 1];
    v[4] += t1;
    v[0] = t1 + s0 + majority;
  }
  for (int i = 0; i < 8; ++i) hash[i] += v[i];
}

/// The message's last blocks: its tail, the 0x80 mark, zeros, the length in bits (big-endian).
std::string Padding(std::string_view bytes) {
  std::string tail(bytes.substr(bytes.size() - bytes.size() % 64));
  tail += '\x80';
  while (tail.size() % 64 != 56) tail += '\0';
  const std::uint64_t bits = static_cast<std::uint64_t>(bytes.size()) * 8;
  for (int shift = 56; shift >= 0; shift -= 8) tail += static_cast<char>((bits >> shift) & 0xFF);
  return tail;
}

}  // namespace

std::string Sha256Hex(std::string_view bytes) {
  Words hash = kInitial;
  const std::size_t whole = bytes.size() - bytes.size() % 64;
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  for (std::size_t at = 0; at < whole; at += 64) Compress(hash, data + at);
  const std::string tail = Padding(bytes);
  for (std::size_t at = 0; at < tail.size(); at += 64) {
    Compress(hash, reinterpret_cast<const unsigned char*>(tail.data()) + at);
  }
  std::string hex;
  for (const std::uint32_t word : hash) hex += HexDigits(word, 8);
  // Digests are written in lower case, as sha256sum and the like write them.
  std::transform(hex.begin(), hex.end(), hex.begin(), [](char c) { return static_cast<char>(std::tolower(c)); });
  return hex;
}

std::string Sha256OfFile(const std::filesystem::path& file) {
  // Larger than any memory a chip of the known families holds.
  constexpr std::uintmax_t kLargestFile = std::uintmax_t{1} << 30;
  return Sha256Hex(ReadRegularFile(file, kLargestFile));
}

}  // namespace pw::production
