#pragma once
/// @file
/// Messages of the ELF reader: every way a file can fail to be an AVR program.

#include <cstdint>
#include <string>

namespace pw::texts {

/// The file does not begin as an ELF file does.
inline std::string ElfNotElf(const std::string& file) {
  return "Ошибка! Файл " + file + " не ELF-файл; файл не загружен";
}
/// The ELF file is cut short or its headers contradict its size; what names the part.
inline std::string ElfDamaged(const std::string& file, const std::string& what) {
  return "Ошибка! Файл ELF " + file + " повреждён (" + what + "); файл не загружен";
}
/// The ELF file holds a program for another processor.
inline std::string ElfNotAvr(const std::string& file, unsigned machine) {
  return "Ошибка! Файл " + file + " собран не для AVR (машина " + std::to_string(machine) + "); файл не загружен";
}

/// The parts of an ELF file ElfDamaged names.
inline constexpr const char* kElfHeaderPart = "заголовок";
inline constexpr const char* kElfProgramHeadersPart = "таблица сегментов";
inline constexpr const char* kElfSegmentPart = "сегмент за концом файла";

}  // namespace pw::texts
