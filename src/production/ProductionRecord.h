#pragma once
/// @file
/// The production record: one SQLite database a job's runs share, a row per chip. Serial numbers
/// are given out inside a transaction, so several processes (one per programmer) working on one
/// job never give a number twice; a number given to a chip that then failed stays spent.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

struct sqlite3;

namespace pw::production {

/// A file the job programs, as the record names it.
struct FileDigest {
  std::string Name;
  /// SHA-256 of the file's bytes, 64 lower-case hex digits.
  std::string Sha256;
};

/// What the record keeps of a chip when its work begins.
struct ChipStart {
  std::string Job;
  std::string Host;
  /// The programmer's serial number (its FT232R EEPROM string), empty when unknown.
  std::string Programmer;
  /// The page: "avr", "pic", "i2c", "spi".
  std::string Page;
  /// The chip's identity as identified (part name and signature or ID).
  std::string Chip;
  std::vector<FileDigest> Files;
};

/// The serial numbers of a job: the first one and the step between two.
struct SerialPlan {
  std::int64_t First = 0;
  std::int64_t Step = 1;
};

/// A chip's row once begun.
struct ChipTicket {
  std::int64_t Row = 0;
  /// The number given to this chip, when the job stamps one.
  std::optional<std::int64_t> Serial;
};

enum class ChipResult { Passed, Failed };

/// What `report` prints of a job.
struct JobSummary {
  std::int64_t Passed = 0;
  std::int64_t Failed = 0;
  /// Rows begun and never finished (a process that was killed): their numbers are spent.
  std::int64_t Unfinished = 0;
  std::optional<std::int64_t> FirstSerial;
  std::optional<std::int64_t> LastSerial;
  /// Times of the first and last row, as stored (UTC, ISO 8601); empty when there is none.
  std::string FirstTime;
  std::string LastTime;
};

class ProductionRecord {
 public:
  /// Opens the database, creating it and its table when new. Raises PinwrightError naming the
  /// file when it cannot be opened, created or written.
  explicit ProductionRecord(const std::filesystem::path& file);
  ~ProductionRecord();
  ProductionRecord(const ProductionRecord&) = delete;
  ProductionRecord& operator=(const ProductionRecord&) = delete;

  /// Writes the chip's row (time now, UTC) before any work on it; with a plan, gives the chip the
  /// job's next serial number in the same transaction: First for the job's first, else the
  /// highest given so far plus Step, whatever became of that chip. Raises PinwrightError when the
  /// database cannot be written (the chip must then not be programmed).
  ChipTicket Begin(const ChipStart& chip, const std::optional<SerialPlan>& plan);
  /// Completes the chip's row: outcome, duration, error text (empty when it passed).
  void Finish(const ChipTicket& ticket, ChipResult result, double seconds, const std::string& error);

  JobSummary Summarize(const std::string& job) const;
  /// Writes every row of job as CSV, a header line first, atomically. Raises PinwrightError when
  /// the file cannot be written.
  void WriteCsv(const std::string& job, const std::filesystem::path& file) const;

 private:
  sqlite3* db_ = nullptr;
  std::filesystem::path file_;
};

/// Prints summary as `report` shows it, in the system's language.
void PrintJobSummary(const std::string& job, const JobSummary& summary, std::ostream& out);

/// SHA-256 of a file's bytes as 64 lower-case hex digits; raises PinwrightError when it cannot be read.
std::string Sha256OfFile(const std::filesystem::path& file);

}  // namespace pw::production
