#include "elffile/AvrElf.h"

#include <gelf.h>
#include <libelf.h>

#include <cstdint>
#include <memory>

#include "common/Error.h"
#include "elffile/ElfTexts.h"

namespace pw {
namespace {

struct ElfCloser {
  void operator()(Elf* elf) const { elf_end(elf); }
};
using ElfHandle = std::unique_ptr<Elf, ElfCloser>;

void CheckHeader(Elf* elf, const std::string& file) {
  GElf_Ehdr header;
  if (elf_kind(elf) != ELF_K_ELF) throw PinwrightError(texts::ElfNotElf(file));
  if (gelf_getehdr(elf, &header) == nullptr) throw PinwrightError(texts::ElfDamaged(file, texts::kElfHeaderPart));
  if (header.e_machine != EM_AVR) throw PinwrightError(texts::ElfNotAvr(file, header.e_machine));
}

/// The segment a program header describes, checked against the file's size.
ElfSegment SegmentOf(const GElf_Phdr& header, std::string_view bytes, const std::string& file) {
  // Offsets and sizes come from the file: compared without sums that could wrap.
  if (header.p_offset > bytes.size() || header.p_filesz > bytes.size() - header.p_offset ||
      header.p_paddr > UINT32_MAX - header.p_filesz) {
    throw PinwrightError(texts::ElfDamaged(file, texts::kElfSegmentPart));
  }
  return {static_cast<std::uint32_t>(header.p_paddr), std::string(bytes.substr(header.p_offset, header.p_filesz))};
}

}  // namespace

bool LooksLikeElf(std::string_view bytes) { return bytes.size() >= SELFMAG && bytes.substr(0, SELFMAG) == ELFMAG; }

std::vector<ElfSegment> ReadAvrElf(std::string_view bytes, const std::string& file) {
  if (!LooksLikeElf(bytes)) throw PinwrightError(texts::ElfNotElf(file));
  elf_version(EV_CURRENT);
  // libelf may convert a memory image in place: it reads a copy of its own.
  std::string image(bytes);
  const ElfHandle elf(elf_memory(image.data(), image.size()));
  if (!elf) throw PinwrightError(texts::ElfDamaged(file, texts::kElfHeaderPart));
  CheckHeader(elf.get(), file);
  std::size_t count = 0;
  if (elf_getphdrnum(elf.get(), &count) != 0) {
    throw PinwrightError(texts::ElfDamaged(file, texts::kElfProgramHeadersPart));
  }
  std::vector<ElfSegment> segments;
  for (std::size_t k = 0; k < count; ++k) {
    GElf_Phdr header;
    if (gelf_getphdr(elf.get(), static_cast<int>(k), &header) == nullptr) {
      throw PinwrightError(texts::ElfDamaged(file, texts::kElfProgramHeadersPart));
    }
    if (header.p_type == PT_LOAD && header.p_filesz > 0) segments.push_back(SegmentOf(header, bytes, file));
  }
  return segments;
}

}  // namespace pw
