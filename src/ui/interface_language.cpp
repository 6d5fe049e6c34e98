#include "ui/interface_language.h"

#include <QStringList>

namespace lunetta {

namespace {

// "ja_JP.UTF-8@calendar" → "ja".
QString LanguageOf(const QString& locale) {
  qsizetype end = 0;
  while (end < locale.size() && locale[end] != u'_' && locale[end] != u'.' && locale[end] != u'@') {
    ++end;
  }
  return locale.left(end).toLower();
}

}  // namespace

InterfaceLanguage ChooseInterfaceLanguage(const QProcessEnvironment& environment) {
  QString locale;
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    locale = environment.value(QLatin1String(name));
    if (!locale.isEmpty()) {
      break;
    }
  }
  // The C library ignores LANGUAGE in the C locale; so do we.
  if (locale.isEmpty() || locale == u"C" || locale.startsWith(u"C.") || locale == u"POSIX") {
    return InterfaceLanguage::Japanese;
  }
  const QStringList preferred =
      environment.value(QStringLiteral("LANGUAGE")).split(u':', Qt::SkipEmptyParts);
  const QString language = LanguageOf(preferred.isEmpty() ? locale : preferred.constFirst());
  return language == u"ja" ? InterfaceLanguage::Japanese : InterfaceLanguage::English;
}

}  // namespace lunetta
