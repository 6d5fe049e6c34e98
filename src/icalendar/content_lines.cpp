#include "icalendar/content_lines.h"

#include <algorithm>
#include <chrono>

namespace lunetta {

namespace {

struct ContentLine {
  std::string_view name;
  std::string_view value;
};

bool IsNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
}

std::string Upper(std::string_view text) {
  std::string upper(text);
  std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  });
  return upper;
}

std::string_view TrimEnd(std::string_view text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
    text.remove_suffix(1);
  }
  return text;
}

// NAME *(";" PARAM-NAME "=" PARAM-VALUE *("," PARAM-VALUE)) ":" VALUE, a parameter value quoted
// or free of ";:,\"".
bool SplitContentLine(std::string_view line, ContentLine& out) {
  std::size_t i = 0;
  const auto name = [&] {
    const std::size_t start = i;
    while (i < line.size() && IsNameChar(line[i])) {
      ++i;
    }
    return i > start;
  };
  if (!name()) {
    return false;
  }
  out.name = line.substr(0, i);
  while (i < line.size() && line[i] == ';') {
    ++i;
    if (!name() || i >= line.size() || line[i] != '=') {
      return false;
    }
    do {
      ++i;  // past "=" or ","
      if (i < line.size() && line[i] == '"') {
        const std::size_t close = line.find('"', i + 1);
        if (close == std::string_view::npos) {
          return false;
        }
        i = close + 1;
      } else {
        while (i < line.size() && line[i] != ';' && line[i] != ':' && line[i] != ',' &&
               line[i] != '"') {
          ++i;
        }
      }
    } while (i < line.size() && line[i] == ',');
  }
  if (i >= line.size() || line[i] != ':') {
    return false;
  }
  out.value = line.substr(i + 1);
  return true;
}

int Digits(std::string_view text, std::size_t at, std::size_t count) {
  int value = 0;
  for (std::size_t k = at; k < at + count; ++k) {
    if (text[k] < '0' || text[k] > '9') {
      return -1;
    }
    value = value * 10 + (text[k] - '0');
  }
  return value;
}

// YYYYMMDD or YYYYMMDDTHHMMSS[Z] naming a day and a time that exist.
bool IsDateOrDateTime(std::string_view v) {
  if (v.size() != 8 && v.size() != 15 && v.size() != 16) {
    return false;
  }
  const int y = Digits(v, 0, 4), m = Digits(v, 4, 2), d = Digits(v, 6, 2);
  using namespace std::chrono;
  if (y < 1 || m < 0 || d < 0 ||
      !year_month_day{year{y}, month{static_cast<unsigned>(m)}, day{static_cast<unsigned>(d)}}
           .ok()) {
    return false;
  }
  if (v.size() == 8) {
    return true;
  }
  const int hh = Digits(v, 9, 2), mm = Digits(v, 11, 2), ss = Digits(v, 13, 2);
  return v[8] == 'T' && hh >= 0 && hh < 24 && mm >= 0 && mm < 60 && ss >= 0 && ss <= 60 &&
         (v.size() == 15 || v[15] == 'Z');
}

// A list of dates; in RDATE also periods, whose start is checked (the library checks the rest).
bool AreDates(std::string_view value, bool periods) {
  for (;;) {
    const std::size_t comma = value.find(',');
    std::string_view item = value.substr(0, comma);
    if (periods) {
      item = item.substr(0, item.find('/'));
    }
    if (!IsDateOrDateTime(item)) {
      return false;
    }
    if (comma == std::string_view::npos) {
      return true;
    }
    value.remove_prefix(comma + 1);
  }
}

bool IsDateProperty(std::string_view name) {
  return name == "DTSTART" || name == "DTEND" || name == "DUE" || name == "EXDATE" ||
         name == "RDATE" || name == "RECURRENCE-ID";
}

class Checker {
 public:
  Checker(CheckedContent& result, std::size_t maxEvents) : result_(result), maxEvents_(maxEvents) {}

  // False when the text turns out to be no calendar.
  bool line(std::string_view text, int number) {
    if (text.empty()) {
      return true;  // a blank line carries nothing
    }
    ContentLine c;
    const bool valid = text.find('\0') == std::string_view::npos && SplitContentLine(text, c);
    const std::string name = valid ? Upper(c.name) : std::string();
    const std::string value = valid ? Upper(TrimEnd(c.value)) : std::string();
    if (!result_.isCalendar) {
      result_.isCalendar = name == "BEGIN" && value == "VCALENDAR";
      if (!result_.isCalendar) {
        return false;
      }
    }
    if (!valid) {
      bad(number);
    } else if (name == "BEGIN") {
      begin(text, value, number);
    } else if (name == "END") {
      end(text, value, number);
    } else if (stack_.empty() || (IsDateProperty(name) && !AreDates(c.value, name == "RDATE"))) {
      bad(number);
    } else {
      emit(text);
    }
    return true;
  }

  void finish() {
    if (eventDepth_ != kNoEvent) {
      // An event cut off, as by a download that broke.
      if (!event_.skipped) {
        result_.problems.push_back({ICalendarProblemKind::MalformedLine, event_.line});
      }
      stack_.resize(eventDepth_);
    }
    while (!stack_.empty()) {
      result_.text += "END:" + stack_.back() + "\r\n";
      stack_.pop_back();
    }
  }

 private:
  static constexpr std::size_t kNoEvent = static_cast<std::size_t>(-1);

  struct Event {
    std::string text;
    int line = 0;
    bool bad = false;
    bool skipped = false;  // past maxEvents
  };

  void bad(int number) {
    if (eventDepth_ == kNoEvent || !event_.skipped) {
      result_.problems.push_back({ICalendarProblemKind::MalformedLine, number});
    }
    event_.bad = true;
  }

  void emit(std::string_view text) {
    ((eventDepth_ == kNoEvent ? result_.text : event_.text) += text) += "\r\n";
  }

  void begin(std::string_view text, const std::string& component, int number) {
    const bool misplaced = stack_.empty() ? component != "VCALENDAR"
                                          : component == "VCALENDAR" ||
                                                (component == "VEVENT" && eventDepth_ != kNoEvent);
    if (misplaced) {
      bad(number);
      return;
    }
    if (component == "VEVENT") {
      const bool skipped = events_++ >= maxEvents_;
      if (skipped && events_ == maxEvents_ + 1) {
        result_.problems.push_back({ICalendarProblemKind::TooManyEvents, number});
      }
      event_ = Event{{}, number, skipped, skipped};
      eventDepth_ = stack_.size();
    }
    stack_.push_back(component);
    emit(text);
  }

  void end(std::string_view text, const std::string& component, int number) {
    if (stack_.empty() || stack_.back() != component) {
      bad(number);
      return;
    }
    emit(text);
    stack_.pop_back();
    if (stack_.size() == eventDepth_) {
      eventDepth_ = kNoEvent;
      if (!event_.bad) {
        result_.text += event_.text;
        result_.eventLines.push_back(event_.line);
      }
    }
  }

  CheckedContent& result_;
  std::size_t maxEvents_;
  std::vector<std::string> stack_;  // open components, upper case
  std::size_t eventDepth_ = kNoEvent;
  Event event_;
  std::size_t events_ = 0;
};

}  // namespace

CheckedContent CheckContentLines(std::string_view text, std::size_t maxEvents) {
  CheckedContent result;
  if (text.starts_with("\xEF\xBB\xBF")) {
    text.remove_prefix(3);
  }
  Checker checker(result, maxEvents);
  std::string logical;  // a line with its continuations unfolded
  int logicalNumber = 0;
  int number = 0;
  for (std::size_t pos = 0; pos <= text.size();) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) {
      end = text.size();
    }
    std::string_view physical = text.substr(pos, end - pos);
    if (physical.ends_with('\r')) {
      physical.remove_suffix(1);
    }
    ++number;
    if (logicalNumber != 0 && (physical.starts_with(' ') || physical.starts_with('\t'))) {
      logical += physical.substr(1);
    } else {
      if (logicalNumber != 0 && !checker.line(logical, logicalNumber)) {
        return result;
      }
      logical.assign(physical);
      logicalNumber = number;
    }
    pos = end + 1;
  }
  if (!checker.line(logical, logicalNumber)) {
    return result;
  }
  checker.finish();
  return result;
}

}  // namespace lunetta
