#include "production/RecordSql.h"

#include "common/Error.h"

namespace pw::production {

void RecordDb::Fail() const { throw PinwrightError(Failure(File.string(), sqlite3_errmsg(Db))); }

void RecordDb::Exec(const char* sql) const {
  if (sqlite3_exec(Db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) Fail();
}

Statement::Statement(const RecordDb& db, const char* sql) : db_(db) {
  Check(sqlite3_prepare_v2(db.Db, sql, -1, &statement_, nullptr));
}

Statement::~Statement() { sqlite3_finalize(statement_); }

void Statement::Check(int code) const {
  if (code != SQLITE_OK) db_.Fail();
}

void Statement::Bind(int index, const std::string& text) {
  Check(sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT));
}

void Statement::Bind(int index, std::int64_t value) { Check(sqlite3_bind_int64(statement_, index, value)); }

void Statement::Bind(int index, double value) { Check(sqlite3_bind_double(statement_, index, value)); }

void Statement::Bind(int index, const std::optional<std::int64_t>& value) {
  Check(value ? sqlite3_bind_int64(statement_, index, *value) : sqlite3_bind_null(statement_, index));
}

bool Statement::Step() {
  const int code = sqlite3_step(statement_);
  if (code == SQLITE_ROW) return true;
  if (code != SQLITE_DONE) db_.Fail();
  return false;
}

std::optional<std::int64_t> Statement::Integer(int column) const {
  if (sqlite3_column_type(statement_, column) == SQLITE_NULL) return std::nullopt;
  return sqlite3_column_int64(statement_, column);
}

std::string Statement::Text(int column) const {
  const auto* text = sqlite3_column_text(statement_, column);
  if (text == nullptr) return {};
  return {reinterpret_cast<const char*>(text), static_cast<std::size_t>(sqlite3_column_bytes(statement_, column))};
}

WriteTransaction::WriteTransaction(const RecordDb& db) : db_(db) { db_.Exec("BEGIN IMMEDIATE"); }

WriteTransaction::~WriteTransaction() {
  // A failed statement already raised its message; the rollback only releases the lock.
  if (open_) sqlite3_exec(db_.Db, "ROLLBACK", nullptr, nullptr, nullptr);
}

void WriteTransaction::Commit() {
  db_.Exec("COMMIT");
  open_ = false;
}

}  // namespace pw::production
