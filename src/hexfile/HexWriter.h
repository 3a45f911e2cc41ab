#pragma once
/// @file
/// Writing memory read from a chip as Intel HEX text.
///
/// A reading operation owns its HEX text (a std::string, empty at its start), its running byte
/// address and its last 64 KiB block; the writers append whole records to the text, each ending
/// in CR LF, with upper-case digits. Full data records carry 16 data bytes. Nothing reaches the
/// disk before SaveHexText.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

namespace pw {

/// Appends n words of source (from its first element) as data records, each word low byte
/// first, 8 words per full record at record address `address`. Every full record advances
/// address by 16; a short last record leaves it unchanged (the PIC dump writes its two
/// configuration records from one address). Raises PinwrightError if source holds fewer than n words.
void AppendHexWords(std::int32_t n, std::span<const std::uint16_t> source, std::string& hexText, std::int32_t& address);

/// Appends n bytes of source, from index start, 16 per full record at record address
/// address + offset. Full records advance address by 16; a short last record leaves it
/// unchanged. Raises PinwrightError if source holds fewer than start + n bytes.
void AppendHexBytes(std::int32_t n, std::span<const std::uint8_t> source, std::string& hexText, std::int32_t& address,
                    std::uint32_t offset, std::int32_t start);

/// Appends n bytes of source, from index start, each as a little-endian word (the byte, then
/// 00), 8 source bytes per full record at record address address + offset. Full records
/// advance address by 16, a short last record of k bytes by k. Raises PinwrightError if
/// source holds fewer than start + n bytes.
void AppendHexBytesAsWords(std::int32_t n, std::span<const std::uint8_t> source, std::string& hexText,
                           std::int32_t& address, std::uint32_t offset, std::int32_t start);

/// Called before each run of records that lies in one 64 KiB block: when address's block
/// differs from lastBlock (empty at the start of an operation), it becomes lastBlock and the
/// block's address record is appended. Blocks 0 to 15 get an extended segment address record
/// (segment = block × 0x1000, so block 1 gives ":020000021000EC"); higher blocks, which a
/// segment cannot reach, get an extended linear address record.
void AppendSegmentRecord(std::string& hexText, std::int32_t address, std::optional<std::uint32_t>& lastBlock);

/// As AppendSegmentRecord, but every block gets an extended linear address record (block 1
/// gives ":020000040001F9"), as PIC18 files hold their IDs, configuration and data memory.
void AppendLinearRecord(std::string& hexText, std::int32_t address, std::optional<std::uint32_t>& lastBlock);

/// Appends the end record ":00000001FF" and CR LF to hexText and writes the text, byte for
/// byte, as the file fileName. An existing file is replaced only once the whole text is
/// written; a failure raises PinwrightError, leaves the file as it was and hexText as before the call.
/// "-" writes the text to standard output (common/StandardStreams.h).
void SaveHexText(const std::filesystem::path& fileName, std::string& hexText);

}  // namespace pw
