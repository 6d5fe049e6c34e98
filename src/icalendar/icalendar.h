#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

// iCalendar files (.ics, RFC 5545) as marks on the days of a month: public holidays from a
// calendar service, birthdays, family and school days.

namespace lunetta {

/// What the caller draws a file's days as; the reader only carries it.
enum class CalendarFileKind { Holidays, Days };

/// What a yearly or monthly rule does on a date the month lacks (an event of 29 February, or of
/// the 31st), where the file itself does not say (RFC 7529's SKIP).
enum class SkipInvalidDates {
  Omit,      // no occurrence that year or month, as RFC 5545 requires
  Backward,  // the month's last day: 28 February
  Forward,   // the first day after: 1 March
};

struct ICalendarOptions {
  CalendarFileKind kind = CalendarFileKind::Days;
  SkipInvalidDates skip = SkipInvalidDates::Omit;
};

/// A file that is no iCalendar at all: it does not begin with BEGIN:VCALENDAR.
enum class ICalendarErrc { not_icalendar = 1 };

const std::error_category& ICalendarCategory();
std::error_code make_error_code(ICalendarErrc error);

}  // namespace lunetta

template <>
struct std::is_error_code_enum<lunetta::ICalendarErrc> : std::true_type {};

namespace lunetta {

/// Something in a file the reader could not use; the rest of the file still marks its days.
enum class ICalendarProblemKind {
  MalformedLine,          // no iCalendar line, a date that is no date, a value the library
                          // refused, or a component never ended: its event is left out
  EventWithoutStart,      // an event without DTSTART: left out
  UnsupportedRecurrence,  // a recurrence rule that yields no dates: the event is left out
  UnknownTimeZone,        // a TZID neither defined in the file nor known: read as local time
  TooManyEvents,          // the events after the first ICalendar::kMaxEvents: left out
};

struct ICalendarProblem {
  ICalendarProblemKind kind;
  int line = 0;  // 1-based line of the file where it was found; 0 when not known

  friend bool operator==(const ICalendarProblem&, const ICalendarProblem&) = default;
};

struct MarkedDay {
  int day = 0;                         // 1..31
  std::vector<std::string> summaries;  // UTF-8, one line each, in file order, no repeats

  friend bool operator==(const MarkedDay&, const MarkedDay&) = default;
};

struct MonthMarks {
  std::vector<MarkedDay> days;  // in day order
  bool incomplete = false;      // an expansion stopped at its cap: days may be missing
};

/// One iCalendar file, read and checked once, asked for the marked days of any month. Timed
/// events are placed on the local dates (the process's time zone) that they cover; all-day and
/// floating events on their own dates. Safe to use from several threads.
class ICalendar {
 public:
  static constexpr std::size_t kMaxFileBytes = std::size_t{4} << 20;
  static constexpr std::size_t kMaxEvents = 20000;
  /// Occurrences one event may step through for one month, and all events together.
  static constexpr int kMaxStepsPerEvent = 10000;
  static constexpr int kMaxStepsPerMonth = 50000;
  static constexpr std::size_t kMaxSummaryBytes = 200;
  static constexpr std::size_t kMaxSummariesPerDay = 16;

  /// Reads the file at `path`. On failure the result is empty and `error` says why: an errno,
  /// FileErrc::not_regular_file, FileErrc::too_large (more than kMaxFileBytes) or
  /// ICalendarErrc::not_icalendar.
  static std::optional<ICalendar> Load(const std::filesystem::path& path,
                                       const ICalendarOptions& options, std::error_code& error);

  /// Reads the text of a file, as Load does.
  static std::optional<ICalendar> Parse(std::string_view text, const ICalendarOptions& options,
                                        std::error_code& error);

  ICalendar(ICalendar&&) noexcept;
  ICalendar& operator=(ICalendar&&) noexcept;
  ~ICalendar();

  /// The days of `month` (1..12) of `year` that some event covers, with the events' summaries.
  MonthMarks daysInMonth(int year, int month) const;

  CalendarFileKind kind() const;
  /// What was left out or read otherwise, in the order of the file.
  const std::vector<ICalendarProblem>& problems() const;
  /// The events that mark days.
  std::size_t eventCount() const;

 private:
  struct Impl;
  explicit ICalendar(std::unique_ptr<Impl> impl);

  std::unique_ptr<Impl> impl_;
};

}  // namespace lunetta
