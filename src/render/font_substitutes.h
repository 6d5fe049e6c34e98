#pragma once

#include <QStringView>
#include <array>
#include <span>

namespace lunetta {

/// A Windows face that profiles and dialog templates name, and the faces of Debian's font packages
/// drawn in its place where it is not installed.
struct FontSubstitute {
  QStringView face;
  std::array<QStringView, 2> families;  // in order of preference; the second may be empty
  int weight = 0;                       // a heavy cut's own weight (Arial Black); 0 otherwise
};

/// The substitution table: metric-compatible faces where they exist (Liberation for Arial, Times
/// New Roman and Courier New), look-alikes otherwise (Roboto Black for Arial Black, EB Garamond,
/// C059 for Century, IPA and Noto CJK for the Japanese faces).
std::span<const FontSubstitute> FontSubstitutes();

/// Hands the table to Qt's font matching, once per process; later calls do nothing. Without it the
/// faces fall back to whatever fontconfig prefers in the user's language, which differs between
/// locales and, for Arial Black, draws the weekday names into each other.
void InstallFontSubstitutes();

/// The weight to ask for `face` at the requested `weight` (0..1000): a heavy cut is never drawn
/// lighter than its own weight, because its substitute is a family with several weights.
int SubstituteWeight(QStringView face, int weight);

}  // namespace lunetta
