#pragma once
/// @file
/// The record's SQL plumbing: prepared statements and transactions that raise the record's own
/// messages (naming the file, with SQLite's text) instead of returning codes.

#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace pw::production {

/// Builds the message of a failure from the file's name and SQLite's text (texts::RecordNot…).
using RecordFailure = std::string (*)(const std::string& file, const std::string& why);

/// The database a statement runs on, the file it names in a failure and the failure's message.
struct RecordDb {
  sqlite3* Db;
  const std::filesystem::path& File;
  RecordFailure Failure;

  /// Raises PinwrightError with Failure's message and SQLite's text of the last error.
  [[noreturn]] void Fail() const;
  /// Runs sql, which returns no rows; raises on failure.
  void Exec(const char* sql) const;
};

/// One prepared statement; parameters are bound by position from 1.
class Statement {
 public:
  Statement(const RecordDb& db, const char* sql);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  void Bind(int index, const std::string& text);
  void Bind(int index, std::int64_t value);
  void Bind(int index, double value);
  void Bind(int index, const std::optional<std::int64_t>& value);
  /// Steps once: true while a row is ready, false when done; raises on failure.
  bool Step();
  /// A column of the ready row: NULL reads as nothing / an empty text.
  std::optional<std::int64_t> Integer(int column) const;
  std::string Text(int column) const;

 private:
  void Check(int code) const;

  const RecordDb& db_;
  sqlite3_stmt* statement_ = nullptr;
};

/// A BEGIN IMMEDIATE transaction: the write lock is taken at once (waiting out the busy timeout
/// for another process), so what is read inside it cannot change before the commit. Rolled back
/// unless committed.
class WriteTransaction {
 public:
  explicit WriteTransaction(const RecordDb& db);
  ~WriteTransaction();
  WriteTransaction(const WriteTransaction&) = delete;
  WriteTransaction& operator=(const WriteTransaction&) = delete;
  void Commit();

 private:
  const RecordDb& db_;
  bool open_ = true;
};

}  // namespace pw::production
