#include "app/compose_messages.h"

#include "picture/load_picture_file.h"

namespace lunetta {

namespace {

QString SystemWords(std::error_code cause) {
  return QString::fromStdString(cause.message());
}

QString AsWritten(const char* words) {
  return QString::fromUtf8(words);
}

}  // namespace

QString EnglishReason(const Failure& failure) {
  const FaultLanguage english{&FaultWords::english,
                              AsWritten,
                              SystemWords,
                              QStringLiteral("%1 (%2)"),
                              QStringLiteral("%1 × %2 pixels"),
                              QStringLiteral("unknown")};
  return SayFailure(failure, english);
}

QString EnglishMessage(const QString& what, const Failure& failure) {
  if (failure.file.empty()) {
    return QStringLiteral("%1: %2").arg(what, EnglishReason(failure));
  }
  return QStringLiteral("%1 \"%2\": %3").arg(what, QtPath(failure.file), EnglishReason(failure));
}

}  // namespace lunetta
