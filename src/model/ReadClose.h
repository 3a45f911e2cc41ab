#pragma once
/// @file
/// Ending a read whose file may already be saved.

#include <string>

#include "link/ProgrammerSession.h"
#include "model/Controls.h"

namespace pw {

/// The line logged when a read saved its file and only the closing of the programmer failed.
inline std::string SavedButNotClosed(const std::string& file) {
  return "Файл " + file + " сохранён полностью, его данные верны; но программатор закрыть не удалось";
}

/// Closes session at the end of a read. When saved and the close fails, the log first says
/// that file is complete and good; the close's error then ends the operation as an error.
inline void CloseAfterRead(ProgrammerSession& session, Memo& log, bool saved, const std::string& file) {
  try {
    session.Close();
  } catch (...) {
    if (saved) log.Append(SavedButNotClosed(file));
    throw;
  }
}

}  // namespace pw
