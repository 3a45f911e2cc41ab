#include "production/ProductionRecord.h"

#include <sqlite3.h>

#include <chrono>
#include <thread>

#include "common/Error.h"
#include "production/ProductionTexts.h"
#include "production/RecordSql.h"

namespace pw::production {
namespace {

/// The table's layout, kept in PRAGMA user_version: a later layout migrates from the number it finds.
constexpr int kSchemaVersion = 1;

/// Other processes of the same job hold the write lock for one short transaction per chip; a
/// process waits this long for it before it gives up and stops its run.
constexpr int kBusyTimeoutMs = 10000;

constexpr const char* kCreateTable = R"(
CREATE TABLE IF NOT EXISTS chips (
  id INTEGER PRIMARY KEY,
  job TEXT NOT NULL,
  time TEXT NOT NULL,
  host TEXT NOT NULL,
  programmer TEXT NOT NULL,
  page TEXT NOT NULL,
  chip TEXT NOT NULL,
  files TEXT NOT NULL,
  serial INTEGER,
  outcome TEXT CHECK (outcome IN ('passed', 'failed')),
  seconds REAL,
  error TEXT
);
CREATE INDEX IF NOT EXISTS chips_by_job_serial ON chips (job, serial);
)";

/// Each file as "name=sha256", joined by ';'.
std::string FilesColumn(const std::vector<FileDigest>& files) {
  std::string column;
  for (const auto& file : files) column += (column.empty() ? "" : ";") + file.Name + "=" + file.Sha256;
  return column;
}

/// The job's next number; the caller holds the write lock, so nobody else can take it meanwhile.
std::int64_t NextSerial(const RecordDb& db, const std::string& job, const SerialPlan& plan) {
  Statement highest(db, "SELECT max(serial) FROM chips WHERE job = ?1");
  highest.Bind(1, job);
  highest.Step();
  const auto last = highest.Integer(0);
  if (!last) return plan.First;
  std::int64_t next = 0;
  if (__builtin_add_overflow(*last, plan.Step, &next)) {
    throw PinwrightError(texts::RecordNotWritten(db.File.string(), texts::kRecordSerialOverflow));
  }
  return next;
}

/// Creates the table in a new file; refuses a layout this program does not know.
void PrepareSchema(const RecordDb& db) {
  WriteTransaction transaction(db);
  Statement version(db, "PRAGMA user_version");
  version.Step();
  const auto found = version.Integer(0).value_or(0);
  if (found > kSchemaVersion) {
    throw PinwrightError(texts::RecordNotOpened(db.File.string(), texts::RecordTooNew(static_cast<int>(found))));
  }
  if (found == 0) {
    db.Exec(kCreateTable);
    db.Exec(("PRAGMA user_version = " + std::to_string(kSchemaVersion)).c_str());
  }
  transaction.Commit();
}

/// Turns the file to the WAL journal. Two processes doing so at once can deadlock on the file's
/// locks, and SQLite then answers one of them SQLITE_BUSY at once, without waiting in its busy
/// handler: so the change is tried again until the busy timeout has passed.
void UseWalJournal(sqlite3* handle, const RecordDb& db) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBusyTimeoutMs);
  while ((sqlite3_exec(handle, "PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr) & 0xFF) == SQLITE_BUSY &&
         std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  // Once more, to report what still fails with SQLite's text.
  db.Exec("PRAGMA journal_mode = WAL");
}

/// Makes an opened file ready for chips: writable, waiting for other processes, its table there.
void OpenForWriting(sqlite3* handle, const std::filesystem::path& file) {
  const RecordDb db{handle, file, texts::RecordNotOpened};
  // SQLite opens a file it may not write read-only without a word; the record must be written.
  if (sqlite3_db_readonly(handle, "main") != 0) {
    throw PinwrightError(texts::RecordNotWritten(file.string(), sqlite3_errstr(SQLITE_READONLY)));
  }
  sqlite3_busy_timeout(handle, kBusyTimeoutMs);
  // Readers (`report`) then never hold up a process writing its next chip.
  UseWalJournal(handle, db);
  PrepareSchema(RecordDb{handle, file, texts::RecordNotWritten});
}

}  // namespace

ProductionRecord::ProductionRecord(const std::filesystem::path& file) : file_(file) {
  const int code = sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (code != SQLITE_OK) {
    const std::string why = db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(code);
    sqlite3_close(db_);
    throw PinwrightError(texts::RecordNotOpened(file.string(), why));
  }
  try {
    OpenForWriting(db_, file_);
  } catch (...) {
    sqlite3_close(db_);
    throw;
  }
}

ProductionRecord::~ProductionRecord() { sqlite3_close(db_); }

ChipTicket ProductionRecord::Begin(const ChipStart& chip, const std::optional<SerialPlan>& plan) {
  const RecordDb db{db_, file_, texts::RecordNotWritten};
  WriteTransaction transaction(db);
  ChipTicket ticket;
  if (plan) ticket.Serial = NextSerial(db, chip.Job, *plan);
  Statement insert(db,
                   "INSERT INTO chips (job, time, host, programmer, page, chip, files, serial) "
                   "VALUES (?1, strftime('%Y-%m-%dT%H:%M:%SZ', 'now'), ?2, ?3, ?4, ?5, ?6, ?7)");
  insert.Bind(1, chip.Job);
  insert.Bind(2, chip.Host);
  insert.Bind(3, chip.Programmer);
  insert.Bind(4, chip.Page);
  insert.Bind(5, chip.Chip);
  insert.Bind(6, FilesColumn(chip.Files));
  insert.Bind(7, ticket.Serial);
  insert.Step();
  ticket.Row = sqlite3_last_insert_rowid(db_);
  transaction.Commit();
  return ticket;
}

void ProductionRecord::Finish(const ChipTicket& ticket, ChipResult result, double seconds, const std::string& error) {
  const RecordDb db{db_, file_, texts::RecordNotWritten};
  Statement update(db, "UPDATE chips SET outcome = ?1, seconds = ?2, error = nullif(?3, '') WHERE id = ?4");
  update.Bind(1, std::string(result == ChipResult::Passed ? "passed" : "failed"));
  update.Bind(2, seconds);
  update.Bind(3, error);
  update.Bind(4, ticket.Row);
  update.Step();
}

}  // namespace pw::production
