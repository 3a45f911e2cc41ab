#pragma once
/// @file
/// Loading a HEX or raw binary file into the shared images with the layout each page uses, and
/// saving what a read collected in the format the file's name asks for.
///
/// FormatOf is the one place a file's format is judged. A raw image: byte k of the file is byte k
/// of the memory (flash words low byte first), every byte counts as held by the file. "-" reads
/// standard input and writes standard output (common/StandardStreams.h), as HEX by default.
///
/// Every load is all or nothing: on any error (texts::kFileNotFound for a missing file,
/// texts::HexNoData for a file without data) the images, counts and filled maps keep what
/// they held. Each returns a line for the log about records with a wrong checksum, or an
/// empty text when there were none.

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <span>
#include <string>
#include <utility>

#include "frame/MemoryImages.h"
#include "hexfile/HexReader.h"

namespace pw {

/// What a file holds: as its name says (ByName), or as a person said instead (--format).
enum class FileFormat { ByName, Hex, Binary, Elf };

/// A file an image is loaded from or saved to, and the format asked for it, if any.
struct ImageFile {
  std::filesystem::path Name;
  FileFormat Format = FileFormat::ByName;

  // Implicit: a name alone is a file whose name says its format.
  ImageFile(std::filesystem::path name, FileFormat format = FileFormat::ByName)
      : Name(std::move(name)), Format(format) {}
  ImageFile(const std::string& name) : Name(name) {}
  ImageFile(const char* name) : Name(name) {}
};

/// The format file holds, never ByName: the one asked for, else by the name's extension in any
/// case: ".bin", ".rom", ".img", ".raw" binary, ".elf" ELF, anything else (and "-") Intel HEX.
FileFormat FormatOf(const ImageFile& file);

/// Refuses (PinwrightError naming the file and what is taken) a file whose format is not one
/// of those a loader reads; taken names them for the message.
void RequireFormat(const ImageFile& file, std::initializer_list<FileFormat> formats, const char* taken);

/// The whole content of file ("-": standard input), at most limit bytes: a missing file raises
/// texts::kFileNotFound, others as ReadRegularFile.
std::string ReadImageInput(const ImageFile& file, std::uintmax_t limit);

/// LoadHexFile on file's content (ReadImageInput, so "-" too).
HexLoadReport LoadHexImage(const ImageFile& file, std::span<std::uint16_t> wordTarget, std::int32_t& wordCount,
                           std::span<std::uint8_t> topTarget, std::int32_t& topCount, std::uint32_t topStart,
                           std::span<std::uint8_t> midTarget, std::int32_t& midCount, std::uint32_t midStart);

/// AVR EEPROM and I2C EEPROM: a binary file's bytes, or every record lands in EepromImage at its own address, counted
/// in EepromDataCount, marked in EepromFilled. ELF is refused.
std::string LoadEepromFile(const ImageFile& file, MemoryImages& images);

/// A start address that no record of a file reaches in practice: a layout's targets that take
/// no records start there (records that do land there go to scratch and are not counted).
inline constexpr std::uint32_t kUnusedRegion = 0x0FFFFFFF;

/// The log line about records with a wrong checksum in a load's report; empty when there were none.
std::string ChecksumNotice(const HexLoadReport& report);

/// The bytes of the raw binary file file, which must hold 1 to capacity bytes: a missing, empty
/// or larger file raises PinwrightError naming it (and both sizes).
std::string ReadBinaryImage(const ImageFile& file, std::size_t capacity);

/// Saves what a read collected: raw, the memory's bytes in order, when file is a binary image,
/// else hexText (the records without the end record, which SaveHexText adds). Atomic like
/// SaveHexText: a failure raises PinwrightError and leaves the file as it was. ELF is refused.
void SaveImageFile(const ImageFile& file, std::string& hexText, std::span<const std::uint8_t> raw);

/// The file dialogs' filter of the pages that take both kinds: HEX, binary, any file.
inline constexpr const char* kImageFilter = "hex|*.hex|bin|*.bin;*.rom;*.img;*.raw|все файлы|*";

}  // namespace pw
