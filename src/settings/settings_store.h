#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <type_traits>
#include <utility>
#include <vector>

#include "calendar/calendar_settings.h"

namespace lunetta {

inline constexpr std::string_view kProfileSection = "Configuration";

/// The keys of the persisted settings, as the profile names them.
namespace keys {
inline constexpr std::string_view kFontName = "Font Name";
inline constexpr std::string_view kTextSize = "Text Size";
inline constexpr std::string_view kTextColor = "Text Color";
inline constexpr std::string_view kBackColor = "Back Ground Color";
inline constexpr std::string_view kTransparency = "Transparency";
inline constexpr std::string_view kStartX = "StartX";
inline constexpr std::string_view kStartY = "StartY";
inline constexpr std::string_view kPictSize = "PictSize";
inline constexpr std::string_view kPhotoPath = "Photo Path";
inline constexpr std::string_view kMonthlyRefresh = "Monthly Refresh";
inline constexpr std::string_view kWeekStart = "Week Start";
inline constexpr std::string_view kJapaneseLabels = "Japanese Labels";
inline constexpr std::string_view kWeekNumbers = "Week Numbers";
inline constexpr std::string_view kOpaqueText = "Opaque Text";
inline constexpr std::string_view kSizeKind = "Size Kind";
inline constexpr std::string_view kCustomWidth = "Custom Width";
inline constexpr std::string_view kCustomHeight = "Custom Height";
inline constexpr std::string_view kPhotoFit = "Photo Fit";
inline constexpr std::string_view kFontWeight = "Font Weight";
/// Written only once the renewal has been daily: 1 while it is (Monthly Refresh is then 1 too).
inline constexpr std::string_view kDailyRefresh = "Daily Refresh";
inline constexpr std::string_view kWallPaper = "Wall Paper";
inline constexpr std::string_view kWallOrientation = "Wall Orientation";
inline constexpr std::string_view kWallPhotoPosition = "Wall Photo Position";
inline constexpr std::string_view kWallBleed = "Wall Bleed";
inline constexpr std::string_view kWallTrimMarks = "Wall Trim Marks";
inline constexpr std::string_view kWallCover = "Wall Cover";
inline constexpr std::string_view kWallPlanner = "Wall Planner";
inline constexpr std::string_view kProportional = "Proportional Layout";
inline constexpr std::string_view kBlockHeight = "Block Height";
inline constexpr std::string_view kAnchor = "Anchor";
inline constexpr std::string_view kMargin = "Margin";
inline constexpr std::string_view kAutoPlace = "Auto Place";
inline constexpr std::string_view kPanelBands = "Panel Bands";
inline constexpr std::string_view kHandPlacedPhoto = "Hand Placed Photo";
inline constexpr std::string_view kLegible = "Legible";
/// "Month Photo 01" ... "Month Photo 12": the photo a month has of its own. Written only for a
/// month that has one, or to clear one the profile holds.
std::string MonthPhoto(int month);
/// "Holiday Calendar 01" ... and "Day Calendar 01" ...: the calendar files of each kind, in order.
/// Written only while there are some, or to clear those the profile holds.
std::string CalendarFileKey(SpecialDayKind kind, int index);
}  // namespace keys

/// The most calendar files of each kind a profile keeps.
inline constexpr int kMaxCalendarFiles = 20;

/// How a setting's value is checked when it is given as text (`--set`). The profile itself reads
/// every integer as GetPrivateProfileInt does.
enum class ValueKind {
  Text,          // any text
  Integer,       // a whole number in the 32-bit range
  Color,         // 0..16777215: 0x00BBGGRR in decimal, or "#rrggbb"
  Transparency,  // 0 clear .. 255 opaque
};

/// Where a setting is kept.
enum class Kept {
  Always,    // written at every save
  WhenUsed,  // added after the profile's first form: read with its default when missing, and
             // written only once it differs from the default or the profile already has it, so a
             // profile that never used it stays byte for byte what it was
  Snapshot,  // not in the profile; the renewal's snapshot keeps it in a section of its own
};

/// One setting as the profile and `--set` name it, and the field it fills. Integers of every kind
/// travel as the 32-bit number the profile writes ("%d"): an enumeration keeps any number it was
/// given, a flag is on for any number but 0.
struct SettingKey {
  std::string_view name;
  ValueKind kind;
  Kept kept;
  std::string CalendarSettings::*text = nullptr;  // Text
  std::int32_t (*get)(const CalendarSettings&) = nullptr;
  void (*set)(CalendarSettings&, std::int32_t) = nullptr;
};

namespace detail {
template <auto Field>
constexpr SettingKey NumberKey(std::string_view name, ValueKind kind, Kept kept) {
  using Type = std::remove_cvref_t<decltype(std::declval<CalendarSettings&>().*Field)>;
  return {
      name,
      kind,
      kept,
      nullptr,
      [](const CalendarSettings& settings) { return static_cast<std::int32_t>(settings.*Field); },
      [](CalendarSettings& settings, std::int32_t value) {
        settings.*Field = static_cast<Type>(value);
      }};
}
}  // namespace detail

/// Every setting, in the order a new profile lists them.
inline constexpr SettingKey kSettingKeys[] = {
    {keys::kFontName, ValueKind::Text, Kept::Always, &CalendarSettings::fontName},
    detail::NumberKey<&CalendarSettings::textSize>(keys::kTextSize, ValueKind::Integer,
                                                   Kept::Always),
    detail::NumberKey<&CalendarSettings::textColor>(keys::kTextColor, ValueKind::Color,
                                                    Kept::Always),
    detail::NumberKey<&CalendarSettings::backColor>(keys::kBackColor, ValueKind::Color,
                                                    Kept::Always),
    detail::NumberKey<&CalendarSettings::transparency>(keys::kTransparency, ValueKind::Transparency,
                                                       Kept::Always),
    detail::NumberKey<&CalendarSettings::startX>(keys::kStartX, ValueKind::Integer, Kept::Always),
    detail::NumberKey<&CalendarSettings::startY>(keys::kStartY, ValueKind::Integer, Kept::Always),
    detail::NumberKey<&CalendarSettings::pictSize>(keys::kPictSize, ValueKind::Integer,
                                                   Kept::Always),
    detail::NumberKey<&CalendarSettings::weekStart>(keys::kWeekStart, ValueKind::Integer,
                                                    Kept::WhenUsed),
    detail::NumberKey<&CalendarSettings::labels>(keys::kJapaneseLabels, ValueKind::Integer,
                                                 Kept::WhenUsed),
    detail::NumberKey<&CalendarSettings::weekNumbers>(keys::kWeekNumbers, ValueKind::Integer,
                                                      Kept::WhenUsed),
    detail::NumberKey<&CalendarSettings::opaqueText>(keys::kOpaqueText, ValueKind::Integer,
                                                     Kept::WhenUsed),
    // PictSize keeps a classic size beside these, for a build that knows no other.
    detail::NumberKey<&CalendarSettings::sizeKind>(keys::kSizeKind, ValueKind::Integer,
                                                   Kept::WhenUsed),
    detail::NumberKey<&CalendarSettings::customWidth>(keys::kCustomWidth, ValueKind::Integer,
                                                      Kept::WhenUsed),
    detail::NumberKey<&CalendarSettings::customHeight>(keys::kCustomHeight, ValueKind::Integer,
                                                       Kept::WhenUsed),
    detail::NumberKey<&CalendarSettings::screenWidth>("Screen Width", ValueKind::Integer,
                                                      Kept::WhenUsed),
    detail::NumberKey<&CalendarSettings::screenHeight>("Screen Height", ValueKind::Integer,
                                                       Kept::WhenUsed),
    detail::NumberKey<&CalendarSettings::photoFit>(keys::kPhotoFit, ValueKind::Integer,
                                                   Kept::WhenUsed),
    detail::NumberKey<&CalendarSettings::todayMark>("Today Mark", ValueKind::Integer,
                                                    Kept::WhenUsed),
    detail::NumberKey<&CalendarSettings::dimPastDays>("Dim Past Days", ValueKind::Integer,
                                                      Kept::WhenUsed),
    detail::NumberKey<&CalendarSettings::everyScreen>("Every Screen", ValueKind::Integer,
                                                      Kept::WhenUsed),
    detail::NumberKey<&CalendarSettings::titleEra>("Era Title", ValueKind::Integer, Kept::WhenUsed),
    detail::NumberKey<&CalendarSettings::dayColor>("Day Color", ValueKind::Color, Kept::WhenUsed),
    detail::NumberKey<&CalendarSettings::wallPaper>(keys::kWallPaper, ValueKind::Integer,
                                                    Kept::WhenUsed),
    detail::NumberKey<&CalendarSettings::wallOrientation>(keys::kWallOrientation,
                                                          ValueKind::Integer, Kept::WhenUsed),
    detail::NumberKey<&CalendarSettings::wallPhotoPosition>(keys::kWallPhotoPosition,
                                                            ValueKind::Integer, Kept::WhenUsed),
    detail::NumberKey<&CalendarSettings::wallBleed>(keys::kWallBleed, ValueKind::Integer,
                                                    Kept::WhenUsed),
    detail::NumberKey<&CalendarSettings::wallTrimMarks>(keys::kWallTrimMarks, ValueKind::Integer,
                                                        Kept::WhenUsed),
    detail::NumberKey<&CalendarSettings::wallCover>(keys::kWallCover, ValueKind::Integer,
                                                    Kept::WhenUsed),
    detail::NumberKey<&CalendarSettings::wallPlanner>(keys::kWallPlanner, ValueKind::Integer,
                                                      Kept::WhenUsed),
    detail::NumberKey<&CalendarSettings::proportional>(keys::kProportional, ValueKind::Integer,
                                                       Kept::WhenUsed),
    // Thousandths of the picture's height, and of its shorter side.
    detail::NumberKey<&CalendarSettings::blockHeightShare>(keys::kBlockHeight, ValueKind::Integer,
                                                           Kept::WhenUsed),
    detail::NumberKey<&CalendarSettings::anchor>(keys::kAnchor, ValueKind::Integer, Kept::WhenUsed),
    detail::NumberKey<&CalendarSettings::marginShare>(keys::kMargin, ValueKind::Integer,
                                                      Kept::WhenUsed),
    detail::NumberKey<&CalendarSettings::autoPlace>(keys::kAutoPlace, ValueKind::Integer,
                                                    Kept::WhenUsed),
    detail::NumberKey<&CalendarSettings::panelShare>(keys::kPanelBands, ValueKind::Integer,
                                                     Kept::WhenUsed),
    {keys::kHandPlacedPhoto, ValueKind::Text, Kept::WhenUsed, &CalendarSettings::handPlacedPhoto},
    detail::NumberKey<&CalendarSettings::legible>(keys::kLegible, ValueKind::Integer,
                                                  Kept::WhenUsed),
    detail::NumberKey<&CalendarSettings::saturdayColor>("Saturday Color", ValueKind::Color,
                                                        Kept::WhenUsed),
    detail::NumberKey<&CalendarSettings::sundayColor>("Sunday Color", ValueKind::Color,
                                                      Kept::WhenUsed),
    detail::NumberKey<&CalendarSettings::fontWeight>(keys::kFontWeight, ValueKind::Integer,
                                                     Kept::Snapshot),
    detail::NumberKey<&CalendarSettings::fontItalic>("Font Italic", ValueKind::Integer,
                                                     Kept::Snapshot),
};

/// Why a value given for a setting as text was refused.
enum class SettingRefusal {
  None,
  UnknownKey,
  NotAWholeNumber,
  NotAColor,
  NotATransparency,
  OutsidePicture,  // a StartX or StartY beyond the picture size the settings ask for
};

/// Decimal digits with an optional sign and nothing else, within [low, high].
std::optional<std::int64_t> StrictInteger(std::string_view text, std::int64_t low,
                                          std::int64_t high);

/// A colour as "#rrggbb" (hex digits in either case) or as the profile's decimal 0x00BBGGRR.
std::optional<ColorRef> ParseColor(std::string_view text);

/// Applies one setting, its key matched without regard to ASCII letter case and its value checked
/// as kSettingKeys says: integers must be decimal numbers and nothing else. A transparency outside
/// 0..255 draws no block when a profile has it; given here, it is a mistake.
SettingRefusal ApplySetting(CalendarSettings& settings, std::string_view key,
                            std::string_view value);

/// "KEY=VALUE" settings given in order.
using SettingOverrides = std::vector<std::pair<std::string, std::string>>;

/// Which override was refused and why; for OutsidePicture, the largest value it may have.
struct OverrideRefusal {
  SettingRefusal why = SettingRefusal::None;
  std::size_t index = 0;
  int limit = 0;
};

/// Applies `overrides` in order, then refuses a StartX or StartY among them, also one a later
/// override replaces, outside what the settings dialog allows for the picture size the settings
/// now ask for (BlockPositionLimits, `screen` being the screen's size).
OverrideRefusal ApplySettingOverrides(CalendarSettings& settings, const SettingOverrides& overrides,
                                      std::optional<PictureSize> screen);

class Profile;

/// The calendar files `section` of `profile` lists, holidays first; empty values are none.
std::vector<CalendarFile> ReadCalendarFiles(const Profile& profile, std::string_view section);

/// Writes `files` into `section` of `profile`, each kind numbered from 01, and clears the keys of
/// either kind beyond them that the profile holds. A path the profile cannot hold (a line break, or
/// longer than a value may be) is left out.
void WriteCalendarFiles(Profile& profile, std::string_view section,
                        const std::vector<CalendarFile>& files);

/// The photo of each month, January first; an empty path: the month shows the main photograph.
using MonthPhotos = std::array<std::filesystem::path, 12>;

/// What the profile remembers of the user's work besides the settings record.
struct RememberedWork {
  std::filesystem::path photo;  // empty: none
  bool monthlyRefresh = false;  // renew the wallpaper on the first of every month
  bool dailyRefresh = false;    // ... and every day, with monthlyRefresh
  MonthPhotos monthPhotos{};

  bool operator==(const RememberedWork&) const = default;
};

/// The profile of the program named `executableBaseName`: "<name>.INI" in $XDG_CONFIG_HOME, or in
/// ~/.config when that is not set; empty when there is no home to find it in.
std::filesystem::path ProfilePath(std::string_view executableBaseName = "lunetta");

/// Reads the persisted fields from `profile` into `settings`; missing keys take the defaults. The
/// result only informs: a missing file is no error; a file that cannot be read gives the
/// defaults; one beyond Profile::kMaxFileBytes gives the values of its beginning and
/// FileErrc::too_large.
std::error_code LoadSettings(const std::filesystem::path& profile, CalendarSettings& settings);

/// Writes the persisted fields and the save date; every other line of the file is kept. Nothing is
/// written when the file cannot be read whole (its errno, or FileErrc::too_large) or is read-only
/// (FileErrc::read_only). A link is written through to its target. Empty on success.
std::error_code SaveSettings(const std::filesystem::path& profile, const CalendarSettings& settings,
                             const LocalDate& savedDate);

/// SaveSettings, and the photographs' paths in the same write. A path is kept byte for byte; an
/// empty main photograph leaves the remembered one as it is, an empty month photo clears the
/// month's, and a path the profile cannot hold (a line break, or longer than a value may be) is
/// forgotten rather than stored changed.
std::error_code SaveSettings(const std::filesystem::path& profile, const CalendarSettings& settings,
                             const LocalDate& savedDate, const std::filesystem::path& photo,
                             const MonthPhotos& monthPhotos = {});

/// Reads what LoadSettings does not; as LoadSettings, a missing file or key gives the defaults.
std::error_code LoadRememberedWork(const std::filesystem::path& profile, RememberedWork& work);

/// Writes the renewal's flags alone, at once: on, and daily where it renews every day; every other
/// line of the file is kept. Errors as SaveSettings.
std::error_code SaveMonthlyRefresh(const std::filesystem::path& profile, bool on,
                                   bool daily = false);

}  // namespace lunetta
