#include "ui/wall_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "output/wall_output.h"
#include "picture/load_picture_file.h"
#include "session/calendar_session.h"
#include "wall/wall_painter.h"

namespace lunetta {

namespace {

// The bleed the check box gives, in the profile's hundredths of a millimetre.
constexpr std::int32_t kBleedHundredths = 300;

// The crop's key in WallCrops: 0 the cover, else the month.
int CropKey(const WallCalendar& calendar, const WallPage& page) {
  return page.kind == WallPageKind::Month
             ? calendar.months[static_cast<std::size_t>(page.month)].month
             : 0;
}

// A month as the main window's notices name it ("5月", "May"); 0 the cover.
QString PageName(int month) {
  if (month == 0) {
    return WallDialog::tr("表紙");
  }
  return QCoreApplication::translate("lunetta::MainDialog",
                                     QStringLiteral("%1月").arg(month).toUtf8().constData());
}

}  // namespace

WallPagePreview::WallPagePreview(QWidget* parent) : QWidget(parent) {
  setMinimumSize(300, 420);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void WallPagePreview::Show(const WallCalendar& calendar, const WallPage& page,
                           const QImage& photo) {
  calendar_ = calendar;
  page_ = page;
  photo_ = photo;
  place_ = PhotoOfPage(calendar_, page_);
  update();
}

double WallPagePreview::Scale() const {
  const PointRect media = FramePage(calendar_.options).media;
  return std::min(width() / media.width, height() / media.height);
}

void WallPagePreview::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().window());
  if (calendar_.months.empty()) {
    return;
  }
  const PointRect media = FramePage(calendar_.options).media;
  const double scale = Scale();
  painter.translate((width() - media.width * scale) / 2, (height() - media.height * scale) / 2);
  painter.scale(scale, scale);
  painter.fillRect(QRectF(0, 0, media.width, media.height), Qt::white);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  PaintWallPage(painter, calendar_, page_, photo_.isNull() ? nullptr : &photo_);
}

void WallPagePreview::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || photo_.isNull() || calendar_.months.empty()) {
    return;
  }
  const PointRect media = FramePage(calendar_.options).media;
  const double scale = Scale();
  const QPointF at((event->position().x() - (width() - media.width * scale) / 2) / scale,
                   (event->position().y() - (height() - media.height * scale) / 2) / scale);
  const PointRect& area = place_.area;
  if (at.x() >= area.x && at.x() < area.right() && at.y() >= area.y && at.y() < area.bottom()) {
    grab_ = at;
    grabbedCrop_ = place_.crop;
    setCursor(Qt::ClosedHandCursor);
  }
}

void WallPagePreview::mouseMoveEvent(QMouseEvent* event) {
  if (!grab_) {
    return;
  }
  const PointRect media = FramePage(calendar_.options).media;
  const double scale = Scale();
  const QPointF at((event->position().x() - (width() - media.width * scale) / 2) / scale,
                   (event->position().y() - (height() - media.height * scale) / 2) / scale);
  // How far the photo, scaled to cover its area, reaches past it: the whole of a crop's travel.
  const double cover =
      std::max(place_.area.width / photo_.width(), place_.area.height / photo_.height());
  const double spareX = photo_.width() * cover - place_.area.width;
  const double spareY = photo_.height() * cover - place_.area.height;
  PhotoCrop crop = grabbedCrop_;
  // The photo follows the pointer: dragging it right shows more of its left.
  if (spareX > 0.5) {
    crop.x = std::clamp(grabbedCrop_.x - (at.x() - grab_->x()) / spareX, 0.0, 1.0);
  }
  if (spareY > 0.5) {
    crop.y = std::clamp(grabbedCrop_.y - (at.y() - grab_->y()) / spareY, 0.0, 1.0);
  }
  emit cropMoved(crop);
}

void WallPagePreview::mouseReleaseEvent(QMouseEvent*) {
  grab_.reset();
  unsetCursor();
}

WallDialog::WallDialog(CalendarSession& session, WallCrops& crops, PrintDialogs printDialogs,
                       DesktopPictureDialogs saveDialogs, YearRunner run, QString startFolder,
                       QWidget* parent)
    : QDialog(parent),
      session_(session),
      crops_(crops),
      printDialogs_(std::move(printDialogs)),
      saveDialogs_(std::move(saveDialogs)),
      run_(std::move(run)),
      startFolder_(std::move(startFolder)),
      preview_(new WallPagePreview(this)),
      page_(new QComboBox(this)),
      paper_(new QComboBox(this)),
      orientation_(new QComboBox(this)),
      position_(new QComboBox(this)),
      bleed_(new QCheckBox(tr("塗り足し（3 mm）"), this)),
      trimMarks_(new QCheckBox(tr("トンボを付ける"), this)),
      cover_(new QCheckBox(tr("表紙を付ける"), this)),
      planner_(new QCheckBox(tr("年間予定表を付ける"), this)),
      notice_(new QLabel(this)) {
  setWindowTitle(tr("壁掛けカレンダーを作る"));
  paper_->addItems({QStringLiteral("A4"), QStringLiteral("A3"), QStringLiteral("Letter"),
                    QStringLiteral("Tabloid")});
  orientation_->addItems({tr("縦"), tr("横")});
  position_->addItems({tr("上", "the photo's place"), tr("左"), tr("右")});
  bleed_->setToolTip(tr("印刷所が求める 3 mm の塗り足しを写真に付けます"));
  trimMarks_->setToolTip(tr("裁断の位置を示す印をページの外側に付けます"));
  cover_->setToolTip(tr("年と写真の表紙を最初のページにします"));
  planner_->setToolTip(tr("1年の日付を月ごとの列にした予定表を最後のページにします"));
  notice_->setWordWrap(true);
  notice_->setMinimumWidth(220);
  notice_->setAlignment(Qt::AlignTop | Qt::AlignLeft);

  const CalendarSettings& settings = session_.settings();
  const WallOptions options = WallOptionsOf(settings);
  paper_->setCurrentIndex(static_cast<int>(options.paper));
  orientation_->setCurrentIndex(static_cast<int>(options.orientation));
  position_->setCurrentIndex(static_cast<int>(options.photoPosition));
  bleed_->setChecked(settings.wallBleed > 0);
  trimMarks_->setChecked(options.trimMarks);
  cover_->setChecked(options.cover);
  planner_->setChecked(options.yearPlanner);

  auto* form = new QFormLayout;
  form->addRow(tr("ページ"), page_);
  form->addRow(tr("用紙"), paper_);
  form->addRow(tr("向き"), orientation_);
  form->addRow(tr("写真の位置"), position_);
  auto* side = new QVBoxLayout;
  side->addLayout(form);
  for (QCheckBox* box : {bleed_, trimMarks_, cover_, planner_}) {
    side->addWidget(box);
  }
  auto* hint = new QLabel(tr("写真をドラッグすると、写る部分を動かせます。"), this);
  hint->setWordWrap(true);
  side->addWidget(hint);
  side->addWidget(notice_, 1);
  auto* print = new QPushButton(tr("印刷..."), this);
  auto* save = new QPushButton(tr("PDFに保存..."), this);
  auto* close = new QPushButton(tr("閉じる"), this);
  print->setObjectName(QStringLiteral("print"));
  save->setObjectName(QStringLiteral("savePdf"));
  print->setToolTip(tr("プリンタで印刷します（PDFファイルにも出力できます）"));
  save->setToolTip(tr("塗り足しとトンボの情報を持つ、印刷所向けのPDFを保存します"));
  for (QPushButton* button : {print, save, close}) {
    side->addWidget(button);
  }
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(preview_, 1);
  layout->addLayout(side);

  connect(print, &QPushButton::clicked, this, &WallDialog::OnPrint);
  connect(save, &QPushButton::clicked, this, &WallDialog::OnSavePdf);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  for (QComboBox* box : {paper_, orientation_, position_}) {
    connect(box, &QComboBox::activated, this, &WallDialog::OnOptionsChanged);
  }
  for (QCheckBox* box : {bleed_, trimMarks_, cover_, planner_}) {
    connect(box, &QCheckBox::toggled, this, &WallDialog::OnOptionsChanged);
  }
  connect(page_, &QComboBox::activated, this, &WallDialog::ShowPage);
  connect(preview_, &WallPagePreview::cropMoved, this, [this](PhotoCrop crop) {
    const std::optional<WallPage> page = ShownPage();
    if (!page) {
      return;
    }
    crops_[CropKey(planned_, *page)] = {PhotoOfPage(planned_, *page).file, crop};
    ApplyWallCrops(planned_, crops_);
    ShowPage();
  });
  OnOptionsChanged();
  resize(760, 600);
}

WallCalendar WallDialog::Calendar() const {
  return planned_;
}

QString WallDialog::notice() const {
  return notice_->text();
}

void WallDialog::OnOptionsChanged() {
  CalendarSettings settings = session_.settings();
  settings.wallPaper = paper_->currentIndex();
  settings.wallOrientation = orientation_->currentIndex();
  settings.wallPhotoPosition = position_->currentIndex();
  // A bleed the profile holds (of another length) stays while the box says there is one.
  if (bleed_->isChecked() != (settings.wallBleed > 0)) {
    settings.wallBleed = bleed_->isChecked() ? kBleedHundredths : 0;
  }
  settings.wallTrimMarks = trimMarks_->isChecked();
  settings.wallCover = cover_->isChecked();
  settings.wallPlanner = planner_->isChecked();
  session_.ApplySettings(settings);

  // The plan once per change of options, not at every move of a crop; the pages again, keeping
  // the one shown where it still is.
  std::vector<int> months(12);
  for (int month = 1; month <= 12; ++month) {
    months[static_cast<std::size_t>(month - 1)] = month;
  }
  planned_ = PlanWallCalendar(session_, months, crops_);
  const WallCalendar& calendar = planned_;
  const std::vector<WallPage> pages = WallPages(calendar);
  const QString shown = page_->currentText();
  page_->clear();
  for (std::size_t i = 0; i < pages.size(); ++i) {
    const WallPage& page = pages[i];
    const QString name =
        page.kind == WallPageKind::Planner
            ? tr("年間予定表")
            : PageName(page.kind == WallPageKind::Cover
                           ? 0
                           : calendar.months[static_cast<std::size_t>(page.month)].month);
    page_->addItem(name, QVariant::fromValue(i));
  }
  int index = page_->findText(shown);
  if (index < 0) {
    index = page_->findText(PageName(session_.month()));
  }
  page_->setCurrentIndex(std::max(index, 0));
  ShowPage();
}

std::optional<WallPage> WallDialog::ShownPage() const {
  const std::vector<WallPage> pages = WallPages(planned_);
  const auto index = page_->currentData().value<std::size_t>();
  if (index >= pages.size()) {
    return std::nullopt;
  }
  return pages[index];
}

void WallDialog::ShowPage() {
  const std::optional<WallPage> shown = ShownPage();
  if (!shown) {
    return;
  }
  const WallCalendar& calendar = planned_;
  const WallPage& page = *shown;
  const PagePhoto photo = PhotoOfPage(calendar, page);
  if (photo.file != decodedFile_) {
    decodedFile_ = photo.file;
    decoded_ = QImage();
    if (!photo.file.empty()) {
      // Enough pixels to cover the area in the preview; the rest is the print's.
      const double scale = 760.0 / FramePage(calendar.options).media.width;
      const QSize size(std::max(1, static_cast<int>(photo.area.width * scale)),
                       std::max(1, static_cast<int>(photo.area.height * scale)));
      Result<DecodedPicture> loaded = LoadPictureFile(photo.file, size, PhotoFit::Stretch);
      if (loaded) {
        decoded_ = std::move(loaded->image);
        decodedSize_ = loaded->size;
      }
    }
  }
  preview_->Show(calendar, page, decoded_);
  QString text;
  if (!photo.file.empty() && !decoded_.isNull()) {
    const PixelRect crop =
        CropPhoto(decodedSize_.width(), decodedSize_.height(), photo.area.size(), photo.crop);
    const double dpi = EffectiveDpi(crop, photo.area.size());
    if (dpi < kLowResolutionDpi) {
      text = tr("このページの写真は印刷で %1 dpi です。150 dpi 未満では画素が見えます。")
                 .arg(static_cast<int>(std::floor(dpi)));  // 149.6 is not 150
    }
  } else if (!photo.file.empty()) {
    text = tr("このページの写真を読めません：%1").arg(QtPath(photo.file));
  }
  notice_->setText(text);
}

void WallDialog::Tell(YearOutputOutcome result, const QString& done, const WallOutcome& outcome) {
  if (result == YearOutputOutcome::Cancelled) {
    notice_->setText(tr("中止しました。"));
    return;
  }
  if (result != YearOutputOutcome::Done) {
    return;
  }
  QString text = done;
  QStringList low;
  for (const int month : LowResolutionPages(outcome.pages)) {
    low << PageName(month);
  }
  if (!low.isEmpty()) {
    text += u'\n' + tr("解像度が足りない写真（150 dpi 未満、印刷で画素が見えます）：%1")
                        .arg(low.join(tr("、", "between month names")));
  }
  QStringList without;
  for (const WallPageReport& page : outcome.pages) {
    if (page.photoFailure) {
      without << PageName(page.page.kind == WallPageKind::Month ? page.month : 0);
    }
  }
  if (!without.isEmpty()) {
    text +=
        u'\n' +
        tr("写真を使えず写真なしのページ：%1").arg(without.join(tr("、", "between month names")));
  }
  notice_->setText(text);
}

void WallDialog::OnPrint() {
  const WallOutputReport report = PrintWallCalendar(session_, Calendar(), printDialogs_, run_);
  Tell(report.result,
       report.target.isEmpty()
           ? tr("印刷しました。")
           : tr("PDFに出力しました：%1").arg(QDir::toNativeSeparators(report.target)),
       report.outcome);
}

void WallDialog::OnSavePdf() {
  const WallOutputReport report =
      SaveWallCalendar(session_, Calendar(), startFolder_, saveDialogs_, run_);
  if (report.result == YearOutputOutcome::Done) {
    startFolder_ = QFileInfo(report.target).absolutePath();
  }
  Tell(report.result, tr("PDFに保存しました：%1").arg(QDir::toNativeSeparators(report.target)),
       report.outcome);
}

}  // namespace lunetta
