#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lunetta {

/// An INI file with the semantics of the Windows private-profile functions: missing keys give the
/// caller's default, writing replaces a value in place or appends the key at the end of its
/// section, and every other line of the file is kept as it was.
class Profile {
 public:
  static constexpr std::size_t kMaxFileBytes = 1 << 20;  // a profile is a few hundred bytes
  static constexpr std::size_t kMaxValueChars = 4095;    // the reader's 4096-character buffer

  Profile() = default;

  /// Parses the text of a profile file. Anything beyond kMaxFileBytes is ignored, and so is the
  /// line the bound cuts through.
  static Profile Parse(std::string_view text);

  /// Reads a profile file; a missing or unreadable file gives an empty profile.
  static Profile Read(const std::filesystem::path& file);

  /// Reads a profile file: an empty profile when the file does not exist, nothing when it exists
  /// but cannot be read (so that a caller does not replace a file it could not see).
  static std::optional<Profile> Open(const std::filesystem::path& file);

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

  /// Writes the profile atomically. False when the file could not be written.
  bool write(const std::filesystem::path& file) const;

 private:
  std::optional<std::size_t> findSection(std::string_view section) const;
  std::optional<std::size_t> findKey(std::size_t sectionLine, std::string_view key) const;
  bool usesCrLf() const;

  // The text split at every line feed; the last element is what follows the final one (empty when
  // the text ends in a line feed), so joining them gives the text back byte for byte.
  std::vector<std::string> lines_;
};

}  // namespace lunetta
