#pragma once

// Values of Lunetta's picture-layer types and of Qt's in failing assertions, instead of bytes.

#include <gtest/gtest.h>

#include <QColor>
#include <QRect>
#include <QSize>
#include <QString>
#include <optional>
#include <ostream>
#include <sstream>

#include "picture/failure.h"

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QSize& size, std::ostream* out) {
  *out << size.width() << " × " << size.height();
}
inline void PrintTo(const QPoint& point, std::ostream* out) {
  *out << '(' << point.x() << ", " << point.y() << ')';
}
inline void PrintTo(const QRect& rect, std::ostream* out) {
  *out << '(' << rect.x() << ", " << rect.y() << ", " << rect.width() << " × " << rect.height()
       << ')';
}
inline void PrintTo(const QColor& color, std::ostream* out) {
  *out << color.name().toStdString();
}
QT_END_NAMESPACE

namespace lunetta {

inline const char* FaultName(Fault fault) {
  return WordsOf(fault).name;
}

inline void PrintTo(Fault fault, std::ostream* out) {
  *out << FaultName(fault);
}

inline void PrintTo(const Failure& failure, std::ostream* out) {
  *out << FaultName(failure.fault);
  if (!failure.file.empty()) {
    *out << " " << failure.file;
  }
  if (failure.cause) {
    *out << " (" << failure.cause.message() << ")";
  }
  if (!failure.detail.isEmpty()) {
    *out << " [" << failure.detail.toStdString() << "]";
  }
}

inline void PrintTo(const Status& status, std::ostream* out) {
  if (status.ok()) {
    *out << "ok";
  } else {
    PrintTo(status.failure(), out);
  }
}

/// The fault of a failure; nothing for a success.
inline std::optional<Fault> FaultOf(const Status& status) {
  return status.ok() ? std::nullopt : std::optional(status.failure().fault);
}

/// Passes for a success; a failure shows what failed.
inline ::testing::AssertionResult Succeeded(const Status& status) {
  if (status.ok()) {
    return ::testing::AssertionSuccess();
  }
  std::ostringstream text;
  PrintTo(status.failure(), &text);
  return ::testing::AssertionFailure() << text.str();
}

}  // namespace lunetta
