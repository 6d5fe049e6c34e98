#include "ui/year_selector.h"

#include <QComboBox>
#include <QCoreApplication>

namespace lunetta {

namespace {

QString YearText(int year) {
  return QCoreApplication::translate("lunetta::MainDialog", "%1 年").arg(year);
}

}  // namespace

void FillYearSelector(QComboBox* selector, int startYear) {
  selector->clear();
  for (int i = 0; i < 3; ++i) {
    selector->addItem(YearText(startYear + i), startYear + i);
  }
  // No year as its data: choosing it asks for one.
  selector->addItem(QCoreApplication::translate("lunetta::MainDialog", "ほかの年…"));
  selector->setCurrentIndex(0);
}

std::optional<int> YearAt(const QComboBox* selector, int index) {
  const QVariant year = selector->itemData(index);
  if (!year.isValid()) {
    return std::nullopt;
  }
  return year.toInt();
}

void SelectYear(QComboBox* selector, int year) {
  int at = 0;
  for (; at < selector->count(); ++at) {
    const std::optional<int> listed = YearAt(selector, at);
    if (!listed || *listed >= year) {
      break;
    }
  }
  if (YearAt(selector, at) != year) {
    selector->insertItem(at, YearText(year), year);
  }
  selector->setCurrentIndex(at);
}

std::optional<int> TypedYear(const QString& text) {
  QString digits = text.trimmed();
  const QString suffix = QStringLiteral("年");
  if (digits.endsWith(suffix)) {
    digits.chop(suffix.size());
    digits = digits.trimmed();
  }
  // Full-width digits, as a Japanese input method types them.
  for (QChar& c : digits) {
    if (c.unicode() >= 0xFF10 && c.unicode() <= 0xFF19) {
      c = QChar(u'0' + (c.unicode() - 0xFF10));
    }
  }
  if (digits.size() != 4) {
    return std::nullopt;
  }
  bool ok = false;
  const int year = digits.toInt(&ok);
  if (!ok || year < kFirstSelectableYear || year > kLastSelectableYear) {
    return std::nullopt;
  }
  return year;
}

}  // namespace lunetta
