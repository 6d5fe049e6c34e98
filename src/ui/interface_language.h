#pragma once

#include <QProcessEnvironment>

namespace lunetta {

/// The languages the desktop program speaks.
enum class InterfaceLanguage {
  Japanese,  ///< the sources' own texts
  English,   ///< translations/lunetta_en.ts
};

/// The language the user's locale asks for. The locale is the first set of LC_ALL, LC_MESSAGES and
/// LANG (an empty variable counts as unset). None, "C", "C.<codeset>" or "POSIX" keep the Japanese
/// texts; otherwise the language is the first entry of LANGUAGE where that is set, else the
/// locale's own: "ja" is Japanese, any other language English.
InterfaceLanguage ChooseInterfaceLanguage(const QProcessEnvironment& environment);

}  // namespace lunetta
