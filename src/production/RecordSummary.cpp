#include <cstdio>
#include <ctime>
#include <iomanip>
#include <sstream>

#include "production/ProductionRecord.h"
#include "production/ProductionTexts.h"
#include "production/RecordSql.h"

namespace pw::production {
namespace {

/// Seconds since the epoch of a time as the record stores it; nothing when it is not one.
std::optional<std::time_t> StoredTime(const std::string& text) {
  std::tm tm{};
  char zone = 0;
  if (std::sscanf(text.c_str(), "%d-%d-%dT%d:%d:%d%c", &tm.tm_year, &tm.tm_mon, &tm.tm_mday, &tm.tm_hour, &tm.tm_min,
                  &tm.tm_sec, &zone) != 7 ||
      zone != 'Z') {
    return std::nullopt;
  }
  tm.tm_year -= 1900;
  tm.tm_mon -= 1;
  return timegm(&tm);
}

/// "first – last", "first" when both are one, kSummaryNone when there is none.
template <typename Value>
void PrintRange(std::ostream& out, const std::optional<Value>& first, const std::optional<Value>& last) {
  if (!first || !last) {
    out << texts::kSummaryNone;
  } else {
    out << *first;
    if (*last != *first) out << texts::kSummaryRangeDash << *last;
  }
  out << '\n';
}

/// Chips begun per hour: N chips begun over a span make N-1 intervals, so one chip every P
/// minutes reads as 60/P whatever N is.
void PrintRate(std::ostream& out, const JobSummary& summary) {
  const auto first = StoredTime(summary.FirstTime);
  const auto last = StoredTime(summary.LastTime);
  const std::int64_t chips = summary.Passed + summary.Failed + summary.Unfinished;
  out << texts::kSummaryRate;
  if (first && last && *last > *first && chips > 1) {
    std::ostringstream rate;  // the caller's stream keeps its own number format
    rate << std::fixed << std::setprecision(1) << static_cast<double>(chips - 1) * 3600.0 / double(*last - *first);
    out << rate.str();
  } else {
    out << texts::kSummaryNone;
  }
  out << '\n';
}

std::optional<std::string> Present(const std::string& text) {
  if (text.empty()) return std::nullopt;
  return text;
}

}  // namespace

JobSummary ProductionRecord::Summarize(const std::string& job) const {
  const RecordDb db{db_, file_, texts::RecordNotRead};
  Statement query(db,
                  "SELECT count(outcome = 'passed' OR NULL), count(outcome = 'failed' OR NULL), "
                  "count(*) - count(outcome), min(serial), max(serial), min(time), max(time) "
                  "FROM chips WHERE job = ?1");
  query.Bind(1, job);
  query.Step();
  JobSummary summary;
  summary.Passed = query.Integer(0).value_or(0);
  summary.Failed = query.Integer(1).value_or(0);
  summary.Unfinished = query.Integer(2).value_or(0);
  summary.FirstSerial = query.Integer(3);
  summary.LastSerial = query.Integer(4);
  summary.FirstTime = query.Text(5);
  summary.LastTime = query.Text(6);
  return summary;
}

void PrintJobSummary(const std::string& job, const JobSummary& summary, std::ostream& out) {
  out << texts::kSummaryJob << job << '\n';
  out << texts::kSummaryPassed << summary.Passed << '\n';
  out << texts::kSummaryFailed << summary.Failed << '\n';
  out << texts::kSummaryUnfinished << summary.Unfinished << '\n';
  out << texts::kSummarySerials;
  PrintRange(out, summary.FirstSerial, summary.LastSerial);
  out << texts::kSummaryTimes;
  PrintRange(out, Present(summary.FirstTime), Present(summary.LastTime));
  PrintRate(out, summary);
}

}  // namespace pw::production
