#pragma once
/// @file
/// Texts shown by more than one part of the window.

namespace pw::texts {

inline constexpr const char* kNoProgrammer = "Ошибка выполнения. Возможно не подключен программатор";
inline constexpr const char* kFileNotFound = "Ошибка! Файл не найден!";

}  // namespace pw::texts
