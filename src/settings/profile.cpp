#include "settings/profile.h"

#include <algorithm>

#include "platform/c_runtime.h"
#include "platform/file_io.h"

namespace lunetta {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && IsBlank(text.back())) {
    text.remove_suffix(1);
  }
  return text;
}

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

/// The name of a section header line ("[name]"), or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') {
    return std::nullopt;
  }
  line.remove_prefix(1);
  return Trim(line.substr(0, line.find(']')));
}

/// The key of a "key=value" line, or nothing for comments and lines without '='.
std::optional<std::string_view> KeyName(std::string_view line) {
  const std::string_view trimmed = Trim(line);
  if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[') {
    return std::nullopt;
  }
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) {
    return std::nullopt;
  }
  return Trim(line.substr(0, equals));
}

std::string_view ValueOf(std::string_view line) {
  std::string_view value = Trim(line.substr(line.find('=') + 1));
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    value = value.substr(1, value.size() - 2);
  }
  return value.substr(0, std::min(value.size(), Profile::kMaxValueChars));
}

}  // namespace

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

Profile Profile::Parse(std::string_view text) {
  Profile profile;
  if (text.size() > kMaxFileBytes) {
    profile.unwritable_ = make_error_code(FileErrc::too_large);
    // Cut at a line end so that no half line is read as a shorter value.
    text = text.substr(0, kMaxFileBytes);
    const std::size_t lastLineEnd = text.rfind('\n');
    if (lastLineEnd != std::string_view::npos) {
      text = text.substr(0, lastLineEnd + 1);
    }
  }
  std::size_t start = 0;
  for (std::size_t end = text.find('\n'); end != std::string_view::npos;
       end = text.find('\n', start)) {
    profile.lines_.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  profile.lines_.emplace_back(text.substr(start));
  return profile;
}

Profile Profile::Read(const std::filesystem::path& file, std::error_code& error) {
  // One byte past the bound, so that Parse sees a file it must cut.
  const FileBytes bytes = ReadRegularFile(file, kMaxFileBytes + 1, error);
  if (error == std::errc::no_such_file_or_directory) {
    error.clear();
    return Profile{};
  }
  if (error) {
    Profile unreadable;
    unreadable.unwritable_ = error;
    return unreadable;
  }
  Profile profile = Parse(bytes.bytes);
  error = profile.unwritable_;
  return profile;
}

std::optional<std::size_t> Profile::findSection(std::string_view section) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const auto name = SectionName(content(i));
    if (name && EqualsIgnoringCase(*name, section)) {
      return i;
    }
  }
  return std::nullopt;
}

std::optional<std::size_t> Profile::findKey(std::size_t sectionLine, std::string_view key) const {
  for (std::size_t i = sectionLine + 1; i < lines_.size() && !SectionName(content(i)); ++i) {
    const auto name = KeyName(content(i));
    if (name && EqualsIgnoringCase(*name, key)) {
      return i;
    }
  }
  return std::nullopt;
}

std::optional<std::string> Profile::value(std::string_view section, std::string_view key) const {
  const auto sectionLine = findSection(section);
  if (!sectionLine) {
    return std::nullopt;
  }
  const auto keyLine = findKey(*sectionLine, key);
  if (!keyLine) {
    return std::nullopt;
  }
  return std::string(ValueOf(content(*keyLine)));
}

std::string Profile::getString(std::string_view section, std::string_view key,
                               std::string_view fallback) const {
  return value(section, key).value_or(std::string(fallback));
}

std::int32_t Profile::getInt(std::string_view section, std::string_view key,
                             std::int32_t fallback) const {
  const auto text = value(section, key);
  if (!text || text->empty()) {
    return fallback;
  }
  return Atoi(*text);
}

void Profile::setString(std::string_view section, std::string_view key, std::string_view value) {
  // A line break inside the value would end the line and turn the rest into a line of its own.
  std::string clean(value);
  std::replace_if(
      clean.begin(), clean.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');

  if (lines_.empty()) {
    lines_.emplace_back();
  }
  const std::string lineEnd = usesCrLf() ? "\r" : "";

  const auto sectionLine = findSection(section);
  if (!sectionLine) {
    // The last element is what follows the final line break: empty for a file that ends in one.
    if (!lines_.back().empty()) {
      lines_.back() += lineEnd;
      lines_.emplace_back();
    }
    const std::size_t at = lines_.size() - 1;
    const bool separate = at > 0 && !Trim(content(at - 1)).empty();
    std::vector<std::string> added;
    if (separate) {
      added.push_back(lineEnd);
    }
    added.push_back("[" + std::string(section) + "]" + lineEnd);
    added.push_back(std::string(key) + "=" + clean + lineEnd);
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), added.begin(), added.end());
    return;
  }

  if (const auto keyLine = findKey(*sectionLine, key)) {
    std::string& line = lines_[*keyLine];
    const bool crLf = !line.empty() && line.back() == '\r';
    line = line.substr(0, line.find('=') + 1) + clean + (crLf ? "\r" : "");
    return;
  }

  std::size_t last = *sectionLine;
  for (std::size_t i = *sectionLine + 1; i < lines_.size() && !SectionName(content(i)); ++i) {
    if (KeyName(content(i))) {
      last = i;
    }
  }
  if (last + 1 == lines_.size()) {
    // The section's last line has no line break yet; give it one.
    lines_.back() += lineEnd;
    lines_.emplace_back();
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(last + 1),
                std::string(key) + "=" + clean + lineEnd);
}

void Profile::setInt(std::string_view section, std::string_view key, std::int32_t value) {
  setString(section, key, std::to_string(value));
}

std::string Profile::text() const {
  std::string joined;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (i > 0) {
      joined += '\n';
    }
    joined += lines_[i];
  }
  return joined;
}

std::error_code Profile::write(const std::filesystem::path& file) const {
  if (unwritable_) {
    return unwritable_;
  }
  // The profile may be a link a dotfile manager keeps; its settings are the user's alone.
  const AtomicWriteOptions options{
      .link = LinkAtTarget::Follow,
      .mode = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write,
      .keepExistingMode = true};
  return WriteFileAtomically(file, text(), options);
}

std::string_view Profile::content(std::size_t i) const {
  std::string_view line = lines_[i];
  if (i == 0 && line.starts_with(kByteOrderMark)) {
    line.remove_prefix(kByteOrderMark.size());
  }
  return line;
}

bool Profile::usesCrLf() const {
  return lines_.size() > 1 && !lines_.front().empty() && lines_.front().back() == '\r';
}

}  // namespace lunetta
