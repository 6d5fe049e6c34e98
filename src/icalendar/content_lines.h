#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "icalendar/icalendar.h"

namespace lunetta {

/// An iCalendar text checked line by line before the library sees it, since the library reads
/// much that is wrong without a word (DTSTART:2026031X becomes 1 March).
struct CheckedContent {
  bool isCalendar = false;      // the first line is BEGIN:VCALENDAR
  std::string text;             // unfolded, CRLF line ends, without bad lines and their events
  std::vector<int> eventLines;  // the BEGIN:VEVENT line of each event kept, in order
  std::vector<ICalendarProblem> problems;
};

/// Unfolds the lines and checks each: NAME[;PARAM=VALUE…]:VALUE, components that end in the
/// order they began, and dates and times that exist in DTSTART, DTEND, DUE, EXDATE, RDATE and
/// RECURRENCE-ID. An event holding a bad line is left out whole; a bad line elsewhere alone.
/// Events after the first `maxEvents` are left out too.
CheckedContent CheckContentLines(std::string_view text, std::size_t maxEvents);

}  // namespace lunetta
