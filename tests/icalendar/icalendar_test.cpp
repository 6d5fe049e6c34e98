#include "icalendar/icalendar.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "platform/file_io.h"

namespace lunetta {

void PrintTo(const ICalendarProblem& problem, std::ostream* out) {
  *out << "problem " << static_cast<int>(problem.kind) << " on line " << problem.line;
}

namespace {

// A birthday on 29 February, piano lessons on each month's first Monday but one, a call at
// 15:30–17:30 in Berlin (23:30–01:30 in Tokyo, where the tests run), a trip of two days, and an
// event with a date that is no date (line 40).
constexpr std::string_view kCalendar =
    "BEGIN:VCALENDAR\r\n"
    "VERSION:2.0\r\n"
    "PRODID:-//Lunetta//Tests//EN\r\n"
    "BEGIN:VTIMEZONE\r\n"
    "TZID:Europe/Berlin\r\n"
    "BEGIN:STANDARD\r\n"
    "DTSTART:19701025T030000\r\n"
    "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\r\n"
    "TZOFFSETFROM:+0200\r\n"
    "TZOFFSETTO:+0100\r\n"
    "END:STANDARD\r\n"
    "BEGIN:DAYLIGHT\r\n"
    "DTSTART:19700329T020000\r\n"
    "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\r\n"
    "TZOFFSETFROM:+0100\r\n"
    "TZOFFSETTO:+0200\r\n"
    "END:DAYLIGHT\r\n"
    "END:VTIMEZONE\r\n"
    "BEGIN:VEVENT\r\n"
    "UID:birthday\r\n"
    "DTSTART;VALUE=DATE:20000229\r\n"
    "RRULE:FREQ=YEARLY\r\n"
    "SUMMARY:Hana's birthday\r\n"
    "END:VEVENT\r\n"
    "BEGIN:VEVENT\r\n"
    "UID:piano\r\n"
    "DTSTART;VALUE=DATE:20260105\r\n"
    "RRULE:FREQ=MONTHLY;BYDAY=1MO\r\n"
    "EXDATE;VALUE=DATE:20260202\r\n"
    "SUMMARY:Piano\r\n"
    "END:VEVENT\r\n"
    "BEGIN:VEVENT\r\n"
    "UID:call\r\n"
    "DTSTART;TZID=Europe/Berlin:20260210T153000\r\n"
    "DTEND;TZID=Europe/Berlin:20260210T173000\r\n"
    "SUMMARY:Call with\r\n"
    "  Berlin\r\n"
    "END:VEVENT\r\n"
    "BEGIN:VEVENT\r\n"
    "DTSTART;VALUE=DATE:2026021X\r\n"
    "SUMMARY:Broken\r\n"
    "END:VEVENT\r\n"
    "BEGIN:VEVENT\r\n"
    "DTSTART;VALUE=DATE:20260225\r\n"
    "DTEND;VALUE=DATE:20260227\r\n"
    "SUMMARY:Trip\r\n"
    "END:VEVENT\r\n"
    "END:VCALENDAR\r\n";

// "10 Call with Berlin, 11 …": the days and their summaries.
std::string Marks(const MonthMarks& marks) {
  std::string text;
  for (const MarkedDay& d : marks.days) {
    text += (text.empty() ? "" : ", ") + std::to_string(d.day);
    for (const std::string& s : d.summaries) {
      text += " " + s;
    }
  }
  return text;
}

ICalendar Calendar(std::string_view text, SkipInvalidDates skip = SkipInvalidDates::Omit) {
  std::error_code error;
  std::optional<ICalendar> calendar = ICalendar::Parse(text, {CalendarFileKind::Days, skip}, error);
  EXPECT_FALSE(error) << error.message();
  return std::move(calendar).value();
}

using MonthCase = std::tuple<int, int, SkipInvalidDates, std::string>;

class ICalendarMonthTest : public testing::TestWithParam<MonthCase> {};

TEST_P(ICalendarMonthTest, MarksTheDaysEventsCover) {
  const auto& [year, month, skip, marks] = GetParam();
  EXPECT_EQ(Marks(Calendar(kCalendar, skip).daysInMonth(year, month)), marks);
}

// As RFC 5545 requires, a yearly 29 February has no occurrence in a common year unless the file
// (RFC 7529) or the caller asks for the day before or after.
INSTANTIATE_TEST_SUITE_P(
    Months, ICalendarMonthTest,
    testing::Values(MonthCase{2026, 2, SkipInvalidDates::Omit,
                              "10 Call with Berlin, 11 Call with Berlin, 25 Trip, 26 Trip"},
                    MonthCase{2028, 2, SkipInvalidDates::Omit, "7 Piano, 29 Hana's birthday"},
                    MonthCase{2027, 2, SkipInvalidDates::Omit, "1 Piano"},
                    MonthCase{2027, 2, SkipInvalidDates::Backward, "1 Piano, 28 Hana's birthday"}));

TEST(ICalendarTest, LeavesOutTheEventOfAMalformedLine) {
  const ICalendar calendar = Calendar(kCalendar);
  EXPECT_EQ(calendar.problems(),
            (std::vector<ICalendarProblem>{{ICalendarProblemKind::MalformedLine, 40}}));
  EXPECT_EQ(calendar.eventCount(), 4u);
}

TEST(ICalendarTest, StopsAnEndlessExpansionAtItsCap) {
  const ICalendar endless = Calendar(
      "BEGIN:VCALENDAR\nBEGIN:VEVENT\nDTSTART:19700101T000000\nRRULE:FREQ=SECONDLY\nEND:VEVENT\n"
      "END:VCALENDAR\n");
  EXPECT_TRUE(endless.daysInMonth(2199, 12).incomplete);
}

TEST(ICalendarTest, RefusesWhatIsNoCalendar) {
  std::error_code error;
  EXPECT_FALSE(ICalendar::Parse("BEGIN:VEVENT\r\nEND:VEVENT\r\n", {}, error));
  EXPECT_EQ(error, ICalendarErrc::not_icalendar);
  EXPECT_FALSE(ICalendar::Parse(std::string(ICalendar::kMaxFileBytes + 1, ' '), {}, error));
  EXPECT_EQ(error, FileErrc::too_large);
}

}  // namespace
}  // namespace lunetta
