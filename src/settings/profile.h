#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace lunetta {

/// True when `a` and `b` differ at most in the letter case of ASCII letters, as the profile
/// matches section and key names.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

/// An INI file with the semantics of the Windows private-profile functions: missing keys give the
/// caller's default, writing replaces a value in place or appends the key at the end of its
/// section, and every other line of the file is kept as it was.
class Profile {
 public:
  static constexpr std::size_t kMaxFileBytes = 1 << 20;  // a profile is a few hundred bytes
  static constexpr std::size_t kMaxValueChars = 4095;    // the reader's 4096-character buffer

  Profile() = default;

  /// Parses the text of a profile file. Anything beyond kMaxFileBytes is ignored, and so is the
  /// line the bound cuts through; such a profile refuses to be written (FileErrc::too_large). A
  /// UTF-8 byte-order mark at the start is kept but not read as part of the first line.
  static Profile Parse(std::string_view text);

  /// Reads a profile file without blocking, regular files only. A missing file gives an empty
  /// profile and no error. Any other failure gives an empty profile that refuses to be written,
  /// with `error` saying why; a file beyond kMaxFileBytes gives its beginning and
  /// FileErrc::too_large.
  static Profile Read(const std::filesystem::path& file, std::error_code& error);

  /// The value of `key` in `section` (both matched without regard to ASCII letter case), or
  /// nothing.
  std::optional<std::string> value(std::string_view section, std::string_view key) const;

  std::string getString(std::string_view section, std::string_view key,
                        std::string_view fallback) const;

  /// Leading blanks, an optional sign and decimal digits, clamped to the 32-bit range; a missing
  /// or empty value gives `fallback`.
  std::int32_t getInt(std::string_view section, std::string_view key, std::int32_t fallback) const;

  /// Replaces the key's value in place, or appends the key after the last key of its section, or
  /// appends the section at the end. Line breaks in `value` become blanks.
  void setString(std::string_view section, std::string_view key, std::string_view value);
  void setInt(std::string_view section, std::string_view key, std::int32_t value);

  std::string text() const;

  /// Writes the profile atomically: through a link to its target (the link stays), keeping the
  /// existing file's mode, 0600 for a new file. Nothing is written, and the error says why, when
  /// the profile was not read whole or the existing file is read-only (FileErrc::read_only).
  std::error_code write(const std::filesystem::path& file) const;

 private:
  std::optional<std::size_t> findSection(std::string_view section) const;
  std::optional<std::size_t> findKey(std::size_t sectionLine, std::string_view key) const;
  bool usesCrLf() const;
  /// Line `i` without the byte-order mark that may open the file.
  std::string_view content(std::size_t i) const;

  // The text split at every line feed; the last element is what follows the final one (empty when
  // the text ends in a line feed), so joining them gives the text back byte for byte.
  std::vector<std::string> lines_;
  // Why writing this profile back would lose data: it was cut or could not be read.
  std::error_code unwritable_;
};

}  // namespace lunetta
