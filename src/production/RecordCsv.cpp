#include "common/AtomicFile.h"
#include "production/ProductionRecord.h"
#include "production/ProductionTexts.h"
#include "production/RecordSql.h"

namespace pw::production {
namespace {

/// The columns, in the table's order and under its names.
constexpr const char* kColumns = "id,job,time,host,programmer,page,chip,files,serial,outcome,seconds,error";
constexpr int kColumnCount = 12;

/// A field as RFC 4180 writes it: quoted, with its quotes doubled, when it holds a comma, a
/// quote or a line break; as it is otherwise.
std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

}  // namespace

void ProductionRecord::WriteCsv(const std::string& job, const std::filesystem::path& file) const {
  const RecordDb db{db_, file_, texts::RecordNotRead};
  // printf keeps the seconds' decimal point whatever the program's locale.
  Statement rows(db,
                 "SELECT id, job, time, host, programmer, page, chip, files, serial, outcome, "
                 "iif(seconds IS NULL, NULL, printf('%.3f', seconds)), error FROM chips WHERE job = ?1 ORDER BY id");
  rows.Bind(1, job);
  std::string csv = std::string(kColumns) + "\r\n";
  while (rows.Step()) {
    for (int column = 0; column < kColumnCount; ++column) {
      csv += (column == 0 ? "" : ",") + CsvField(rows.Text(column));
    }
    csv += "\r\n";
  }
  WriteFileAtomically(file, csv);
}

}  // namespace pw::production
