#include "icalendar/icalendar.h"

#include <libical/ical.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <climits>
#include <cstdint>
#include <ctime>
#include <map>
#include <mutex>

#include "icalendar/content_lines.h"
#include "platform/file_io.h"

namespace lunetta {

namespace {

using namespace std::chrono;

class ICalendarErrorCategory : public std::error_category {
 public:
  const char* name() const noexcept override { return "icalendar"; }
  std::string message(int error) const override {
    return error == static_cast<int>(ICalendarErrc::not_icalendar) ? "not an iCalendar file"
                                                                   : "unknown iCalendar error";
  }
};

// libical keeps global state (its built-in time zones and their expanded transitions), so every
// call into it holds this lock.
std::mutex& LibraryLock() {
  static std::mutex lock;
  return lock;
}

struct ComponentFree {
  void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
struct IteratorFree {
  void operator()(icalrecur_iterator* i) const { icalrecur_iterator_free(i); }
};
using IteratorPtr = std::unique_ptr<icalrecur_iterator, IteratorFree>;

constexpr std::int64_t kSecondsPerDay = 86400;
// Longer events are cut to this; a calendar spans 1970–2199.
constexpr std::int64_t kMaxEventDays = 400 * 366;

sys_days DateOf(const icaltimetype& t) {
  return sys_days{year{t.year} / month{static_cast<unsigned>(t.month)} /
                  day{static_cast<unsigned>(t.day)}};
}

bool IsFloating(const icaltimetype& t) {
  return t.is_date || t.zone == nullptr;
}

// Seconds since the epoch; a floating time is counted as if it were UTC, which keeps differences
// between two floating times right.
std::int64_t Seconds(const icaltimetype& t) {
  return IsFloating(t) ? icaltime_as_timet(t) : icaltime_as_timet_with_zone(t, t.zone);
}

// The date on which the moment `seconds` (as Seconds gives it for a time like `like`) falls
// where the user is: in the process's time zone, or on the floating time's own clock.
sys_days LocalDate(std::int64_t seconds, const icaltimetype& like) {
  const std::time_t time = seconds;
  std::tm fields{};
  if ((IsFloating(like) ? gmtime_r(&time, &fields) : localtime_r(&time, &fields)) == nullptr) {
    return DateOf(like);
  }
  return sys_days{year{fields.tm_year + 1900} / month{static_cast<unsigned>(fields.tm_mon + 1)} /
                  day{static_cast<unsigned>(fields.tm_mday)}};
}

// The same occurrence: the same date where either is a date, else the same moment.
bool SameOccurrence(const icaltimetype& a, const icaltimetype& b) {
  if (a.is_date || b.is_date) {
    return DateOf(a) == DateOf(b);
  }
  if (IsFloating(a) != IsFloating(b)) {
    return DateOf(a) == DateOf(b) && a.hour == b.hour && a.minute == b.minute &&
           a.second == b.second;
  }
  return Seconds(a) == Seconds(b);
}

// Attaches the time zone a TZID parameter names: one the file defines, else one of the system's.
// Sets `unknown` when the name matches neither.
icaltimetype InZone(icaltimetype t, icalproperty* property, icalcomponent* calendar,
                    bool& unknown) {
  icalparameter* tzid = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER);
  if (t.is_date || icaltime_is_utc(t) || tzid == nullptr) {
    return t;
  }
  const char* name = icalparameter_get_tzid(tzid);
  icaltimezone* zone = name == nullptr ? nullptr : icalcomponent_get_timezone(calendar, name);
  if (zone == nullptr && name != nullptr) {
    zone = icaltimezone_get_builtin_timezone_from_tzid(name);
  }
  if (zone == nullptr && name != nullptr) {
    zone = icaltimezone_get_builtin_timezone(name);
  }
  t.zone = zone;
  unknown = unknown || zone == nullptr;
  return t;
}

std::string OneLineSummary(const char* text) {
  std::string summary(text == nullptr ? "" : text);
  std::replace_if(
      summary.begin(), summary.end(), [](char c) { return c >= 0 && c < ' '; }, ' ');
  if (summary.size() > ICalendar::kMaxSummaryBytes) {
    std::size_t cut = ICalendar::kMaxSummaryBytes;
    while (cut > 0 && (static_cast<unsigned char>(summary[cut]) & 0xC0) == 0x80) {
      --cut;  // not inside a UTF-8 sequence
    }
    summary.resize(cut);
  }
  return summary;
}

struct Event {
  icaltimetype start{};
  bool recurring = false;
  icalrecurrencetype rule{};
  std::int64_t lengthSeconds = 0;         // timed events: DTEND − DTSTART
  std::int64_t lengthDays = 1;            // all-day events: the days covered
  std::vector<icaltimetype> extraStarts;  // RDATE
  std::vector<icaltimetype> excluded;     // EXDATE, and occurrences changed by another event
  std::string uid;
  std::string summary;

  // Days before a month's first day on which an occurrence may begin and still reach into it; a
  // timed one's own date may lie a day from the local one.
  std::int64_t reachDays() const {
    return start.is_date ? lengthDays - 1 : lengthSeconds / kSecondsPerDay + 2;
  }

  bool isExcluded(const icaltimetype& occurrence) const {
    return std::any_of(excluded.begin(), excluded.end(),
                       [&](const icaltimetype& e) { return SameOccurrence(e, occurrence); });
  }
};

struct DayRange {
  sys_days first;
  sys_days last;
};

// The local days an occurrence beginning at `start` covers; DTEND is not part of the event.
DayRange Covered(const Event& event, const icaltimetype& start) {
  if (start.is_date) {
    const sys_days first = DateOf(start);
    return {first, first + days{event.lengthDays - 1}};
  }
  const std::int64_t begin = Seconds(start);
  const std::int64_t end = begin + std::max<std::int64_t>(event.lengthSeconds - 1, 0);
  return {LocalDate(begin, start), LocalDate(end, start)};
}

void SetDefaultSkip(icalrecurrencetype& rule, SkipInvalidDates skip) {
  if (skip == SkipInvalidDates::Omit || rule.rscale != nullptr ||
      (rule.freq != ICAL_YEARLY_RECURRENCE && rule.freq != ICAL_MONTHLY_RECURRENCE)) {
    return;
  }
  // SKIP takes effect only with RSCALE (RFC 7529).
  static char gregorian[] = "GREGORIAN";
  rule.rscale = gregorian;
  rule.skip = skip == SkipInvalidDates::Backward ? ICAL_SKIP_BACKWARD : ICAL_SKIP_FORWARD;
}

// False when a yearly rule has no occurrence that could reach into the days from..last: making
// libical's iterator costs tens of microseconds, and a file of birthdays asks for it a thousand
// times a month.
bool YearlyRuleMayReach(const icalrecurrencetype& rule, const icaltimetype& start, sys_days from,
                        sys_days last) {
  if (rule.freq != ICAL_YEARLY_RECURRENCE || rule.by_year_day[0] != ICAL_RECURRENCE_ARRAY_MAX ||
      rule.by_week_no[0] != ICAL_RECURRENCE_ARRAY_MAX || last - from > days{300}) {
    return true;
  }
  std::array<bool, 13> months{};  // [1..12]: a month of the window
  for (year_month ym{year_month_day{from}.year(), year_month_day{from}.month()};
       ym <= year_month{year_month_day{last}.year(), year_month_day{last}.month()};
       ym += std::chrono::months{1}) {
    months[static_cast<unsigned>(ym.month())] = true;
  }
  // SKIP=FORWARD moves a day the month lacks into the next. `m` is 1..12.
  const bool forward = rule.rscale != nullptr && rule.skip == ICAL_SKIP_FORWARD;
  const auto inWindow = [&](int m) { return months[m] || (forward && months[m % 12 + 1]); };
  if (rule.by_month[0] == ICAL_RECURRENCE_ARRAY_MAX) {
    return start.month < 1 || start.month > 12 || inWindow(start.month);
  }
  for (const short m : rule.by_month) {
    if (m == ICAL_RECURRENCE_ARRAY_MAX) {
      break;
    }
    // A leap month of another calendar (RSCALE) may fall anywhere.
    if (m > 12 || m < 1 || inWindow(m)) {
      return true;
    }
  }
  return false;
}

// Marks the occurrences of a recurring event that may cover days of first..last.
template <class Mark>
void Expand(const Event& event, sys_days first, sys_days last, int& budget, bool& incomplete,
            Mark&& mark) {
  const sys_days from = first - days{event.reachDays()};
  if ((!icaltime_is_null_time(event.rule.until) && DateOf(event.rule.until) < from) ||
      !YearlyRuleMayReach(event.rule, event.start, from, last + days{1})) {
    return;
  }
  if (budget == 0) {
    incomplete = true;
    return;
  }
  IteratorPtr iterator(icalrecur_iterator_new(event.rule, event.start));
  if (!iterator) {
    return;
  }
  // Jump to the month, where the rule allows it; a rule with COUNT is stepped through from its
  // start, within the caps.
  if (event.rule.count == 0 && from > DateOf(event.start)) {
    icaltimetype jump = event.start;
    const year_month_day date{from};
    jump.year = static_cast<int>(date.year());
    jump.month = static_cast<int>(static_cast<unsigned>(date.month()));
    jump.day = static_cast<int>(static_cast<unsigned>(date.day()));
    jump.hour = jump.minute = jump.second = 0;
    icalrecur_iterator_set_start(iterator.get(), jump);
  }
  for (int steps = 0;; ++steps) {
    if (steps == ICalendar::kMaxStepsPerEvent || budget == 0) {
      incomplete = true;
      return;
    }
    --budget;
    icaltimetype occurrence = icalrecur_iterator_next(iterator.get());
    if (icaltime_is_null_time(occurrence)) {
      return;
    }
    occurrence.zone = event.start.zone;
    occurrence.is_date = event.start.is_date;
    if (DateOf(occurrence) > last + days{1}) {
      return;
    }
    if (!event.isExcluded(occurrence)) {
      mark(occurrence);
    }
  }
}

}  // namespace

const std::error_category& ICalendarCategory() {
  static const ICalendarErrorCategory category;
  return category;
}

std::error_code make_error_code(ICalendarErrc error) {
  return {static_cast<int>(error), ICalendarCategory()};
}

struct ICalendar::Impl {
  std::unique_ptr<icalcomponent, ComponentFree> root;  // owns the file's time zones
  std::vector<Event> events;
  ICalendarOptions options;
  std::vector<ICalendarProblem> problems;

  void addEvent(icalcomponent* component, icalcomponent* calendar, int line,
                std::multimap<std::string, icaltimetype>& changed);
};

void ICalendar::Impl::addEvent(icalcomponent* component, icalcomponent* calendar, int line,
                               std::multimap<std::string, icaltimetype>& changed) {
  const auto problem = [&](ICalendarProblemKind kind) { problems.push_back({kind, line}); };
  if (icalcomponent_count_errors(component) > 0) {
    problem(ICalendarProblemKind::MalformedLine);
    return;
  }
  if (icalcomponent_get_status(component) == ICAL_STATUS_CANCELLED) {
    return;
  }
  icalproperty* dtstart = icalcomponent_get_first_property(component, ICAL_DTSTART_PROPERTY);
  if (dtstart == nullptr) {
    problem(ICalendarProblemKind::EventWithoutStart);
    return;
  }
  bool unknownZone = false;
  Event event;
  event.start = InZone(icalproperty_get_dtstart(dtstart), dtstart, calendar, unknownZone);
  if (icaltime_is_null_time(event.start)) {
    problem(ICalendarProblemKind::EventWithoutStart);
    return;
  }

  std::int64_t length = 0;  // seconds
  if (icalproperty* dtend = icalcomponent_get_first_property(component, ICAL_DTEND_PROPERTY)) {
    const icaltimetype end = InZone(icalproperty_get_dtend(dtend), dtend, calendar, unknownZone);
    length = Seconds(end) - Seconds(event.start);
  } else if (icalproperty* duration =
                 icalcomponent_get_first_property(component, ICAL_DURATION_PROPERTY)) {
    length = icaldurationtype_as_int(icalproperty_get_duration(duration));
  } else if (event.start.is_date) {
    length = kSecondsPerDay;
  }
  length = std::clamp<std::int64_t>(length, 0, kMaxEventDays * kSecondsPerDay);
  event.lengthSeconds = length;
  event.lengthDays = std::max<std::int64_t>((length + kSecondsPerDay - 1) / kSecondsPerDay, 1);

  if (icalproperty* rrule = icalcomponent_get_first_property(component, ICAL_RRULE_PROPERTY)) {
    event.rule = icalproperty_get_rrule(rrule);
    SetDefaultSkip(event.rule, options.skip);
    if (!IteratorPtr(icalrecur_iterator_new(event.rule, event.start))) {
      problem(ICalendarProblemKind::UnsupportedRecurrence);
      return;
    }
    event.recurring = true;
  }
  for (icalproperty* p = icalcomponent_get_first_property(component, ICAL_EXDATE_PROPERTY); p;
       p = icalcomponent_get_next_property(component, ICAL_EXDATE_PROPERTY)) {
    event.excluded.push_back(InZone(icalproperty_get_exdate(p), p, calendar, unknownZone));
  }
  for (icalproperty* p = icalcomponent_get_first_property(component, ICAL_RDATE_PROPERTY); p;
       p = icalcomponent_get_next_property(component, ICAL_RDATE_PROPERTY)) {
    const icaldatetimeperiodtype rdate = icalproperty_get_rdate(p);
    const icaltimetype t = icaltime_is_null_time(rdate.time) ? rdate.period.start : rdate.time;
    if (!icaltime_is_null_time(t)) {
      event.extraStarts.push_back(InZone(t, p, calendar, unknownZone));
    }
  }
  const char* uid = icalcomponent_get_uid(component);
  event.uid = uid == nullptr ? "" : uid;
  // An occurrence changed by an event of its own is no longer one of the rule's.
  if (icalproperty* id = icalcomponent_get_first_property(component, ICAL_RECURRENCEID_PROPERTY)) {
    changed.emplace(event.uid,
                    InZone(icalproperty_get_recurrenceid(id), id, calendar, unknownZone));
  }
  if (unknownZone) {
    problem(ICalendarProblemKind::UnknownTimeZone);
  }
  event.summary = OneLineSummary(icalcomponent_get_summary(component));
  events.push_back(std::move(event));
}

ICalendar::ICalendar(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
ICalendar::ICalendar(ICalendar&&) noexcept = default;
ICalendar& ICalendar::operator=(ICalendar&&) noexcept = default;
ICalendar::~ICalendar() = default;

std::optional<ICalendar> ICalendar::Load(const std::filesystem::path& path,
                                         const ICalendarOptions& options, std::error_code& error) {
  const FileBytes file = ReadRegularFile(path, kMaxFileBytes, error);
  if (error) {
    return std::nullopt;
  }
  if (!file.complete) {
    error = FileErrc::too_large;
    return std::nullopt;
  }
  return Parse(file.bytes, options, error);
}

std::optional<ICalendar> ICalendar::Parse(std::string_view text, const ICalendarOptions& options,
                                          std::error_code& error) {
  error.clear();
  if (text.size() > kMaxFileBytes) {
    error = FileErrc::too_large;
    return std::nullopt;
  }
  const CheckedContent checked = CheckContentLines(text, kMaxEvents);
  if (!checked.isCalendar) {
    error = ICalendarErrc::not_icalendar;
    return std::nullopt;
  }
  auto impl = std::make_unique<Impl>();
  impl->options = options;
  impl->problems = checked.problems;

  const std::lock_guard lock(LibraryLock());
  impl->root.reset(icalparser_parse_string(checked.text.c_str()));
  if (!impl->root) {
    error = ICalendarErrc::not_icalendar;
    return std::nullopt;
  }
  // Several calendars in one file come under one root.
  std::vector<icalcomponent*> calendars;
  if (icalcomponent_isa(impl->root.get()) == ICAL_VCALENDAR_COMPONENT) {
    calendars.push_back(impl->root.get());
  }
  for (icalcomponent* c =
           icalcomponent_get_first_component(impl->root.get(), ICAL_VCALENDAR_COMPONENT);
       c; c = icalcomponent_get_next_component(impl->root.get(), ICAL_VCALENDAR_COMPONENT)) {
    calendars.push_back(c);
  }
  std::vector<std::pair<icalcomponent*, icalcomponent*>> components;  // event, its calendar
  for (icalcomponent* calendar : calendars) {
    for (icalcomponent* e = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); e;
         e = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
      components.emplace_back(e, calendar);
    }
  }
  // The checked text holds the events the check kept, in order, so the library's k-th event
  // began on the k-th kept line; should the library see them otherwise, no line is named.
  const bool linesKnown = components.size() == checked.eventLines.size();
  std::multimap<std::string, icaltimetype> changed;
  for (std::size_t k = 0; k < components.size(); ++k) {
    impl->addEvent(components[k].first, components[k].second,
                   linesKnown ? checked.eventLines[k] : 0, changed);
  }
  for (Event& event : impl->events) {
    if (!event.recurring) {
      continue;
    }
    const auto [begin, end] = changed.equal_range(event.uid);
    for (auto it = begin; it != end; ++it) {
      event.excluded.push_back(it->second);
    }
  }
  // In the order of the file; those without a line last.
  std::stable_sort(impl->problems.begin(), impl->problems.end(),
                   [](const ICalendarProblem& a, const ICalendarProblem& b) {
                     const auto key = [](int line) { return line == 0 ? INT_MAX : line; };
                     return key(a.line) < key(b.line);
                   });
  return ICalendar(std::move(impl));
}

MonthMarks ICalendar::daysInMonth(int y, int m) const {
  MonthMarks marks;
  if (m < 1 || m > 12 || y < 1 || y > 9999) {
    return marks;
  }
  const year_month ym{year{y}, month{static_cast<unsigned>(m)}};
  const sys_days first{ym / 1};
  const sys_days last{ym / std::chrono::last};
  std::array<std::vector<std::string>, 31> summaries;
  std::array<bool, 31> marked{};

  const std::lock_guard lock(LibraryLock());
  int budget = kMaxStepsPerMonth;
  for (const Event& event : impl_->events) {
    const auto mark = [&](const icaltimetype& start) {
      const DayRange range = Covered(event, start);
      for (sys_days d = std::max(range.first, first); d <= std::min(range.last, last);
           d += days{1}) {
        const auto index = static_cast<std::size_t>((d - first).count());
        marked[index] = true;
        std::vector<std::string>& texts = summaries[index];
        if (!event.summary.empty() && texts.size() < kMaxSummariesPerDay &&
            std::find(texts.begin(), texts.end(), event.summary) == texts.end()) {
          texts.push_back(event.summary);
        }
      }
    };
    if (event.recurring) {
      Expand(event, first, last, budget, marks.incomplete, mark);
    } else if (!event.isExcluded(event.start)) {
      mark(event.start);
    }
    for (const icaltimetype& start : event.extraStarts) {
      if (!event.isExcluded(start)) {
        mark(start);
      }
    }
  }
  for (std::size_t i = 0; i < marked.size(); ++i) {
    if (marked[i]) {
      marks.days.push_back({static_cast<int>(i) + 1, std::move(summaries[i])});
    }
  }
  return marks;
}

CalendarFileKind ICalendar::kind() const {
  return impl_->options.kind;
}

const std::vector<ICalendarProblem>& ICalendar::problems() const {
  return impl_->problems;
}

std::size_t ICalendar::eventCount() const {
  return impl_->events.size();
}

}  // namespace lunetta
