#pragma once
/// @file
/// Ending a read whose file may already be saved.

#include <optional>
#include <string>

#include "frame/Reporter.h"
#include "link/ProgrammerSession.h"

namespace pw {

/// The line logged when a read saved its file and only the closing of the programmer failed.
inline std::string SavedButNotClosed(const std::string& file) {
  return "Файл " + file + " сохранён полностью, его данные верны; но программатор закрыть не удалось";
}

/// Closes session at the end of an operation. When a read saved savedFile, or the operation
/// completed what completed says, and the close fails, the log first says so; the close's error
/// then ends the operation as an error.
inline void CloseAfterRead(ProgrammerSession& session, Reporter& out, const std::optional<std::string>& savedFile,
                           const std::optional<std::string>& completed = std::nullopt) {
  try {
    session.Close();
  } catch (...) {
    if (savedFile) out.Log(SavedButNotClosed(*savedFile));
    if (completed) out.Log(*completed);
    throw;
  }
}

}  // namespace pw
