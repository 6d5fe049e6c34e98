#include "ui/calendar_files_box.h"

#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <algorithm>

#include "picture/load_picture_file.h"
#include "render/drawing.h"
#include "ui/dialog_units.h"

namespace lunetta {

namespace {

// The era items, in TitleEra's order.
constexpr const char* kEraItems[] = {
    QT_TRANSLATE_NOOP("lunetta::CalendarFilesBox", "西暦（2026年12月）"),
    QT_TRANSLATE_NOOP("lunetta::CalendarFilesBox", "和暦（令和8年 12月）"),
    QT_TRANSLATE_NOOP("lunetta::CalendarFilesBox", "西暦と和暦（2026年（令和8年）12月）"),
};

}  // namespace

CalendarFilesBox::CalendarFilesBox(CalendarSettings& settings, QWidget* parent)
    : QGroupBox(tr("カレンダーファイルと和暦"), parent),
      settings_(settings),
      list_(new QListWidget(this)),
      addHolidays_(new QPushButton(tr("祝日を追加…"), this)),
      addDays_(new QPushButton(tr("記念日を追加…"), this)),
      remove_(new QPushButton(tr("削除"), this)),
      dayColor_(new QPushButton(tr("記念日の色"), this)),
      era_(new QComboBox(this)),
      askFile_([](QWidget* owner) -> std::optional<QString> {
        const QString file =
            QFileDialog::getOpenFileName(owner, tr("カレンダーファイルを開く"), QString(),
                                         tr("iCalendar ファイル (*.ics);;すべてのファイル (*)"));
        return file.isEmpty() ? std::nullopt : std::optional(file);
      }),
      askColor_([](QWidget* owner, const QColor& shown) -> std::optional<QColor> {
        const QColor chosen = QColorDialog::getColor(shown, owner, tr("記念日の色"));
        return chosen.isValid() ? std::optional(chosen) : std::nullopt;
      }) {
  list_->setToolTip(
      tr("祝日のファイルの日は日曜と同じ赤で、記念日のファイルの日（誕生日、家族や"
         "学校の予定）は記念日の色の枠で示します。"));
  addHolidays_->setToolTip(
      tr("ほかの国の祝日などの iCalendar ファイル（.ics）を加えます。その日は赤で表示します。"));
  addDays_->setToolTip(tr("誕生日や家族、学校の予定の iCalendar ファイル（.ics）を加えます。"));
  remove_->setToolTip(tr("選んだカレンダーファイルを外します。"));
  dayColor_->setToolTip(
      tr("記念日を囲む枠の色を選びます。背景色の上で見にくい色は濃さを変えて使います。"));
  era_->setToolTip(tr("カレンダーのタイトルの年の表し方を選びます。"));
  for (const char* item : kEraItems) {
    era_->addItem(tr(item));
  }
  connect(addHolidays_, &QPushButton::clicked, this, [this] { Add(SpecialDayKind::Holiday); });
  connect(addDays_, &QPushButton::clicked, this, [this] { Add(SpecialDayKind::Day); });
  connect(remove_, &QPushButton::clicked, this, &CalendarFilesBox::RemoveSelected);
  connect(dayColor_, &QPushButton::clicked, this, &CalendarFilesBox::ChooseDayColor);
  connect(era_, &QComboBox::activated, this,
          [this](int index) { settings_.titleEra = static_cast<TitleEra>(index); });
  connect(list_, &QListWidget::currentRowChanged, this,
          [this](int row) { remove_->setEnabled(row >= 0); });
}

void CalendarFilesBox::Place(const DialogUnits& du, int left, int top, int width, int height) {
  setGeometry(du.rect(left, top, width, height));
  // Within the group: the list above, two columns of buttons and the era below it.
  const int half = (width - 14) / 2;
  const int buttons = height - 52;
  list_->setGeometry(du.rect(6, 11, width - 12, buttons - 15));
  addHolidays_->setGeometry(du.rect(6, buttons, half, 13));
  addDays_->setGeometry(du.rect(8 + half, buttons, half, 13));
  remove_->setGeometry(du.rect(6, buttons + 16, half, 13));
  dayColor_->setGeometry(du.rect(8 + half, buttons + 16, half, 13));
  era_->setGeometry(du.rect(6, buttons + 32, width - 12, 13));
}

void CalendarFilesBox::Load() {
  list_->clear();
  for (const CalendarFile& file : settings_.calendarFiles) {
    const QString path = QtPath(file.path);
    auto* item = new QListWidgetItem(
        (file.kind == SpecialDayKind::Holiday ? tr("祝日　%1") : tr("記念日　%1"))
            .arg(QFileInfo(path).fileName()),
        list_);
    item->setToolTip(QDir::toNativeSeparators(path));
  }
  remove_->setEnabled(list_->currentRow() >= 0);
  QPixmap swatch(12, 12);
  swatch.fill(ColorFromRef(settings_.dayColor));
  dayColor_->setIcon(swatch);
  const auto era = static_cast<int>(settings_.titleEra);
  era_->setCurrentIndex(era >= 0 && era < era_->count() ? era : 0);
}

void CalendarFilesBox::Add(SpecialDayKind kind) {
  const std::optional<QString> chosen = askFile_(this);
  if (!chosen) {
    return;
  }
  const CalendarFile file{FilePath(*chosen), kind};
  std::vector<CalendarFile>& files = settings_.calendarFiles;
  if (std::find(files.begin(), files.end(), file) == files.end()) {
    files.push_back(file);
  }
  Load();
  list_->setCurrentRow(
      static_cast<int>(std::find(files.begin(), files.end(), file) - files.begin()));
}

void CalendarFilesBox::RemoveSelected() {
  const int row = list_->currentRow();
  std::vector<CalendarFile>& files = settings_.calendarFiles;
  if (row < 0 || row >= static_cast<int>(files.size())) {
    return;
  }
  files.erase(files.begin() + row);
  Load();
  list_->setCurrentRow(std::min(row, list_->count() - 1));
}

void CalendarFilesBox::ChooseDayColor() {
  if (const std::optional<QColor> chosen = askColor_(this, ColorFromRef(settings_.dayColor))) {
    settings_.dayColor = RefFromColor(*chosen);
    Load();
  }
}

}  // namespace lunetta
