#include "ui/main_dialog.h"

#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <algorithm>
#include <system_error>

#include "calendar/composition.h"
#include "calendar/month_model.h"
#include "output/desktop_picture.h"
#include "output/print_picture.h"
#include "picture/load_picture_file.h"
#include "platform/dialog_units.h"
#include "platform/drawing.h"
#include "res/artwork.h"
#include "settings/settings_store.h"
#include "ui/about_dialog.h"
#include "ui/settings_dialog.h"
#include "ui/tool_tip_relay.h"

namespace lunetta {

namespace {

Q_LOGGING_CATEGORY(lcMain, "lunetta.main")

constexpr int kToolTipDelayMs = 100;
constexpr int kToolTipDurationMs = 10000;
constexpr int kToolTipMaxWidth = 320;

const QString kAboutEntry = QStringLiteral("Tavigo のﾊﾞｰｼﾞｮﾝ情報(&A)...");
const QString kOpenFilter = QStringLiteral("画像ファイル(*.bmp,*.jpg) (*)");

// Month items are three characters wide: an ideographic space pads the one-digit months.
const QStringList kMonthItems = {
    QStringLiteral("　１月"), QStringLiteral("　２月"), QStringLiteral("　３月"),
    QStringLiteral("　４月"), QStringLiteral("　５月"), QStringLiteral("　６月"),
    QStringLiteral("　７月"), QStringLiteral("　８月"), QStringLiteral("　９月"),
    QStringLiteral("１０月"), QStringLiteral("１１月"), QStringLiteral("１２月")};

QString SizeLabelText(std::int32_t pictSize) {
  const PictureSize size = PictureDimensions(pictSize);
  return QStringLiteral("(%1,%2)").arg(size.width).arg(size.height);
}

// A push button whose caption wraps onto several lines, like a multi-line button of the templates.
class MultiLineButton : public QPushButton {
 public:
  using QPushButton::QPushButton;

 protected:
  void paintEvent(QPaintEvent*) override {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    const QRect contents = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    style()->drawItemText(&painter, contents, Qt::AlignCenter | Qt::TextWordWrap, palette(),
                          isEnabled(), caption, QPalette::ButtonText);
  }
};

}  // namespace

MainDialog::MainDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      openFileDialog_([]() -> std::optional<QString> {
        // No owner, as the template's open dialog; a name that does not exist may be typed.
        QFileDialog dialog(nullptr);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setNameFilter(kOpenFilter);
        dialog.setOption(QFileDialog::HideNameFilterDetails);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
          return std::nullopt;
        }
        return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
      }),
      runSettingsDialog_([this](CalendarSettings& settings) {
        SettingsDialog dialog(this);
        dialog.setSettings(settings);
        if (dialog.exec() != QDialog::Accepted) {
          return false;
        }
        dialog.applyTo(settings);
        return true;
      }),
      runAboutDialog_([this]() {
        AboutDialog dialog(this);
        dialog.exec();
      }),
      reportError_(
          [this](const QString& message) { QMessageBox::critical(this, windowTitle(), message); }) {
  setWindowTitle(QStringLiteral("lunetta"));
  setWindowIcon(ApplicationIcon());
  setFont(TemplateFont(QStringLiteral("ＭＳ Ｐゴシック"), 9));
  BuildControls();
  OnInitDialog();
}

MainDialog::~MainDialog() = default;

void MainDialog::BuildControls() {
  const DialogUnits du(font());
  setFixedSize(du.x(474), du.y(359));

  const auto place = [](QWidget* control, int id, const QRect& rect) {
    control->setGeometry(rect);
    if (id != 0) {
      SetControlId(control, id);
    }
  };
  const auto addButton = [&](int id, const QString& caption, const QRect& rect) {
    auto* button = new MultiLineButton(caption, this);
    place(button, id, rect);
    return button;
  };
  const auto addSelector = [&](int id, const QRect& rect) {
    auto* selector = new QComboBox(this);
    selector->setEditable(true);
    selector->setInsertPolicy(QComboBox::NoInsert);
    selector->setMaxVisibleItems(12);
    // The template's height includes the drop-down list; the field itself is one line high.
    place(selector, id, QRect(rect.topLeft(), QSize(rect.width(), selector->sizeHint().height())));
    return selector;
  };
  const auto addStatic = [&](const QString& text, const QRect& rect) {
    auto* label = new QLabel(text, this);
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(rect);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
  };
  const auto addReadOnlyEdit = [&](int id, const QRect& rect, Qt::Alignment alignment,
                                   bool border) {
    auto* edit = new QLineEdit(this);
    edit->setReadOnly(true);
    edit->setFrame(border);
    edit->setAlignment(alignment);
    edit->setFocusPolicy(Qt::ClickFocus);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    edit->setPalette(palette);
    place(edit, id, rect);
    return edit;
  };
  const auto addGroup = [&](const QString& title, const QRect& rect) {
    auto* group = new QGroupBox(title, this);
    group->setGeometry(rect);
    group->setFocusPolicy(Qt::NoFocus);
    group->lower();  // behind the controls it frames
    return group;
  };

  // In the template's tab order.
  QPushButton* exitButton = addButton(kExitId, QStringLiteral("終了"), du.rect(390, 326, 78, 24));
  exitButton->setDefault(true);
  openButton_ = addButton(kOpenId, QStringLiteral("画像ファイルを開く"), du.rect(396, 30, 66, 24));
  yearSelector_ = addSelector(kYearId, du.rect(421, 78, 42, 56));
  monthSelector_ = addSelector(kMonthId, du.rect(421, 102, 42, 58));
  QPushButton* settingsButton =
      addButton(kSettingsId, QStringLiteral("フォント設定"), du.rect(397, 156, 66, 24));
  QPushButton* printButton =
      addButton(kPrintId, QStringLiteral("プリンタで印刷"), du.rect(396, 204, 66, 24));
  QPushButton* desktopButton = addButton(
      kDesktopPictureId, QStringLiteral("ディスクトップ用画像保存"), du.rect(396, 234, 66, 24));
  QPushButton* cancelButton =
      addButton(kCancelId, QStringLiteral("ｷｬﾝｾﾙ"), du.rect(265, 243, 50, 14));
  cancelButton->hide();

  preview_ = new QFrame(this);
  preview_->setFrameStyle(QFrame::Box | QFrame::Plain);
  QPalette framePalette = preview_->palette();
  framePalette.setColor(QPalette::WindowText, Qt::gray);
  preview_->setPalette(framePalette);
  // Presses, moves and releases over the preview belong to the window: they drag the block.
  preview_->setAttribute(Qt::WA_TransparentForMouseEvents);
  place(preview_, kPreviewId, du.rect(13, 15, 367, 321));

  photoPathEdit_ = new QLineEdit(this);
  photoPathEdit_->setReadOnly(true);
  place(photoPathEdit_, kPhotoPathId, du.rect(266, 270, 50, 34));
  photoPathEdit_->hide();

  addStatic(QStringLiteral("選択年"), du.rect(397, 84, 22, 8));
  addStatic(QStringLiteral("選択月"), du.rect(397, 108, 22, 8));
  addStatic(QStringLiteral("(0,0)"), du.rect(13, 5, 14, 8));
  sizeLabel_ = addReadOnlyEdit(kSizeLabelId, du.rect(319, 339, 62, 12), Qt::AlignRight, false);
  positionLabel_ =
      addReadOnlyEdit(kPositionLabelId, du.rect(421, 138, 42, 14), Qt::AlignCenter, true);
  addStatic(QStringLiteral("カレンダー座標"), du.rect(397, 126, 45, 8));
  QPushButton* updateButton =
      addButton(kUpdateId, QStringLiteral("更新"), du.rect(265, 223, 50, 14));
  updateButton->hide();
  addGroup(QStringLiteral("②　カレンダー設定"), du.rect(390, 66, 78, 120));
  addGroup(QStringLiteral("③　仕上げ"), du.rect(390, 192, 78, 72));
  addGroup(QStringLiteral("①　ファイル選択"), du.rect(390, 15, 78, 44));
  QPushButton* printPreviewButton =
      addButton(kPrintPreviewId, QStringLiteral("印刷プレビュー"), du.rect(264, 192, 66, 24));
  printPreviewButton->hide();
  addStatic(QStringLiteral("≪"), du.rect(382, 321, 8, 8));
  addStatic(QStringLiteral("≫"), du.rect(5, 321, 8, 8));

  for (QPushButton* button : findChildren<QPushButton*>()) {
    if (button != exitButton) {
      button->setAutoDefault(false);
    }
  }

  connect(exitButton, &QPushButton::clicked, this, &MainDialog::OnOK);
  connect(openButton_, &QPushButton::clicked, this, &MainDialog::OnOpenFile);
  connect(settingsButton, &QPushButton::clicked, this, &MainDialog::OnSettings);
  connect(printButton, &QPushButton::clicked, this, &MainDialog::OnPrint);
  connect(desktopButton, &QPushButton::clicked, this, &MainDialog::OnSaveDesktopPicture);
  connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
  connect(updateButton, &QPushButton::clicked, this, &MainDialog::OnUpdate);
  connect(printPreviewButton, &QPushButton::clicked, this, &MainDialog::OnPrintPreview);
  connect(monthSelector_, &QComboBox::activated, this, &MainDialog::OnMonthSelected);
  connect(yearSelector_, &QComboBox::activated, this, &MainDialog::OnYearSelected);
  for (QComboBox* selector : {monthSelector_, yearSelector_}) {
    // Typed text that names no item is dropped: the selectors act on their items only.
    connect(selector->lineEdit(), &QLineEdit::editingFinished, selector, [selector] {
      if (selector->findText(selector->currentText()) < 0) {
        selector->setEditText(selector->itemText(selector->currentIndex()));
      }
    });
  }

  aboutAction_ = new QAction(kAboutEntry, this);
  aboutAction_->setShortcut(QKeySequence(Qt::Key_F1));
  aboutAction_->setShortcutContext(Qt::WindowShortcut);
  addAction(aboutAction_);
  connect(aboutAction_, &QAction::triggered, this, &MainDialog::OnAbout);

  toolTips_ = new ToolTipRelay(this);
  toolTips_->setMaxTipWidth(kToolTipMaxWidth);
  toolTips_->setDelays(kToolTipDelayMs, kToolTipDurationMs);
  toolTips_->addTool(openButton_, QStringLiteral("背景に使用する写真を選択してください"));
  toolTips_->addTool(settingsButton,
                     QStringLiteral("カレンダーのフォント、色、背景色、透過度を設定します"));
  toolTips_->addTool(printButton, QStringLiteral("プリンタで印刷を行います"));
  toolTips_->addTool(desktopButton, QStringLiteral("ディスクトップの背景に使える画像を保存します"));
  toolTips_->addTool(exitButton, QStringLiteral("プログラムを終了します。"));
  toolTips_->addTool(monthSelector_, QStringLiteral("カレンダーの月を選びます"));
  toolTips_->addTool(yearSelector_, QStringLiteral("カレンダーの年を選びます"));

  toolTips_->setActive(true);

  exitButton->setFocus();
}

void MainDialog::OnInitDialog() {
  // holiday.dat is read from here for the whole run, wherever the current directory goes later.
  std::error_code error;
  startupDirectory_ = std::filesystem::current_path(error);
  if (error) {
    qCWarning(lcMain) << "cannot read the working directory:" << error.message().c_str();
  }
  setAcceptDrops(true);
  composedPicturePath_.clear();

  LoadSettings(ProfilePath(), settings_);
  settings_.fontWeight = 400;
  settings_.fontItalic = 0;

  const LocalDate today = Today();
  monthSelector_->clear();
  monthSelector_->addItems(kMonthItems);
  monthSelector_->setCurrentIndex(today.month >= 1 && today.month <= 12 ? today.month - 1 : -1);
  yearSelector_->clear();
  for (int i = 0; i < 3; ++i) {
    yearSelector_->addItem(QStringLiteral("%1 年").arg(today.year + i));
  }
  yearSelector_->setCurrentIndex(0);

  holidays_.load(startupDirectory_, selectedYear());
  ComposeCalendarPicture(QString());
  PaintPreview(composedPicturePath_);
  WriteSizeLabel();
  dragging_ = false;
  dragFrame_ = QRect();
  WritePositionLabel(settings_.startX, settings_.startY);
}

int MainDialog::selectedYear() const {
  return Today().year + yearSelector_->currentIndex();
}

int MainDialog::selectedMonth() const {
  return monthSelector_->currentIndex() + 1;
}

QString MainDialog::photoPath() const {
  return photoPathEdit_->text();
}

PreviewBounds MainDialog::previewBounds() const {
  const QRect area = preview_->geometry();
  return {area.x(), area.y(), area.x() + area.width(), area.y() + area.height()};
}

void MainDialog::ComposeCalendarPicture(const QString& photoPath) {
  const int month = selectedMonth();
  if (month < 1 || month > 12) {
    qCInfo(lcMain) << "no month selected; the picture is not composed";
    return;
  }
  settings_.year = selectedYear();
  settings_.month = month;

  QImage photo;
  if (!photoPath.isEmpty()) {
    // A photograph that does not decode gives the picture without one, as for no photograph.
    DecodedPicture decoded = LoadPhotograph(photoPath, settings_.pictSize);
    if (!decoded) {
      qCInfo(lcMain) << "photograph not used:" << photoPath << decoded.error;
    }
    photo = std::move(decoded.image);
  }

  ComposedPicture composed;
  try {
    composed = ComposeCalendar(photo, settings_, holidays_.daysInMonth(month));
  } catch (const InvalidArgumentError& e) {
    qCWarning(lcMain) << "cannot compose" << settings_.year << month << ":" << e.what();
    return;
  }
  composedPicturePath_ = ComposedPicturePath();
  blockWidth_ = composed.blockWidth;
  blockHeight_ = composed.blockHeight;
  if (!SaveBitmapFile(composed.picture, composedPicturePath_)) {
    qCWarning(lcMain) << "cannot write" << composedPicturePath_;
  }
  emit pictureComposed();
}

void MainDialog::PaintPreview(const QString& path) {
  // Stretched once into memory: repaints and the moving drag frame draw from this copy.
  QImage stretched(preview_->size(), QImage::Format_RGB32);
  QPainter painter(&stretched);
  const bool painted =
      previewPainter_.PaintStretched(path, painter, stretched.width(), stretched.height());
  painter.end();
  previewPicture_ = painted ? QPixmap::fromImage(stretched) : QPixmap();
  // The picture covers the grey frame, as it does when painted onto the control.
  preview_->setFrameShape(previewPicture_.isNull() ? QFrame::Box : QFrame::NoFrame);
  update(preview_->geometry());
}

void MainDialog::RefreshCalendarPicture() {
  ComposeCalendarPicture(photoPath());
  PaintPreview(composedPicturePath_);
}

void MainDialog::OnOpenFile() {
  openButton_->setEnabled(false);
  const std::optional<QString> chosen = openFileDialog_();
  if (chosen) {
    photoPathEdit_->setText(*chosen);
  }
  openButton_->setEnabled(true);
  RefreshCalendarPicture();
}

void MainDialog::OnMonthSelected() {
  RefreshCalendarPicture();
}

void MainDialog::OnYearSelected() {
  holidays_.load(startupDirectory_, selectedYear());
  RefreshCalendarPicture();
}

void MainDialog::OnUpdate() {
  RefreshCalendarPicture();
}

bool MainDialog::RunSettingsDialog() {
  CalendarSettings edited = settings_;
  if (!runSettingsDialog_(edited)) {
    return false;
  }
  // The dialog edits only its ten fields of the copy; year and month come back unchanged.
  settings_ = edited;
  ComposeCalendarPicture(photoPath());
  return true;
}

void MainDialog::OnSettings() {
  const bool confirmed = RunSettingsDialog();
  PaintPreview(composedPicturePath_);
  WriteSizeLabel();
  if (confirmed) {
    // The dialog may have moved the block; the label must not show the former place.
    WritePositionLabel(settings_.startX, settings_.startY);
  }
}

void MainDialog::OnPrint() {
  PrintPicture(composedPicturePath_);
}

void MainDialog::OnSaveDesktopPicture() {
  SaveDesktopPicture(composedPicturePath_);
}

void MainDialog::OnPrintPreview() {}

void MainDialog::OnAbout() {
  runAboutDialog_();
}

void MainDialog::OnOK() {
  const std::filesystem::path profile = ProfilePath();
  if (const std::error_code failure = SaveSettings(profile, settings_, Today())) {
    reportError_(QStringLiteral("設定を保存できませんでした。\n%1")
                     .arg(QString::fromStdString(profile.string())));
  }
  accept();
}

void MainDialog::WriteSizeLabel() {
  sizeLabel_->setText(SizeLabelText(settings_.pictSize));
}

void MainDialog::WritePositionLabel(int x, int y) {
  positionLabel_->setText(QStringLiteral("(%1,%2)").arg(x).arg(y));
}

DragPlacement MainDialog::PlaceBlock(QPoint point) const {
  return PlaceDraggedBlock(point.x(), point.y(), previewBounds(), blockWidth_, blockHeight_,
                           previewScaleX(), previewScaleY());
}

void MainDialog::MoveDragFrame(const QRect& frame) {
  // Only the old and the new frame are repainted, from the cached preview.
  if (!dragFrame_.isNull()) {
    update(dragFrame_.adjusted(-1, -1, 1, 1));
  }
  dragFrame_ = frame;
  if (!dragFrame_.isNull()) {
    update(dragFrame_.adjusted(-1, -1, 1, 1));
  }
}

void MainDialog::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  QPainter painter(this);
  if (!previewPicture_.isNull()) {
    painter.drawPixmap(preview_->pos(), previewPicture_);
  }
  if (!dragFrame_.isNull()) {
    // A dotted frame that shows on light and dark parts of the picture alike.
    const QRect outline = dragFrame_.adjusted(0, 0, -1, -1);
    painter.setPen(QPen(Qt::white, 1, Qt::SolidLine));
    painter.drawRect(outline);
    painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
    painter.drawRect(outline);
  }
}

void MainDialog::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    dragging_ = true;
    MoveDragFrame(QRect());
  }
  QDialog::mousePressEvent(event);
}

void MainDialog::mouseMoveEvent(QMouseEvent* event) {
  if (dragging_) {
    const DragPlacement placement = PlaceBlock(event->position().toPoint());
    MoveDragFrame(QRect(placement.x, placement.y, placement.frameWidth, placement.frameHeight));
    WritePositionLabel(placement.pictureX, placement.pictureY);
  }
  QDialog::mouseMoveEvent(event);
}

void MainDialog::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    dragging_ = false;
    MoveDragFrame(QRect());
    const DragPlacement placement = PlaceBlock(event->position().toPoint());
    settings_.startX = placement.pictureX;
    settings_.startY = placement.pictureY;
    WritePositionLabel(settings_.startX, settings_.startY);
    RefreshCalendarPicture();
  }
  QDialog::mouseReleaseEvent(event);
}

void MainDialog::dragEnterEvent(QDragEnterEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); })) {
    event->acceptProposedAction();
  }
}

void MainDialog::dragMoveEvent(QDragMoveEvent* event) {
  event->acceptProposedAction();
}

void MainDialog::dropEvent(QDropEvent* event) {
  // The first dropped file is the photograph; the others are ignored.
  const QList<QUrl> urls = event->mimeData()->urls();
  const auto first =
      std::find_if(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
  if (first == urls.end()) {
    return;
  }
  event->acceptProposedAction();
  photoPathEdit_->setText(QDir::toNativeSeparators(first->toLocalFile()));
  RefreshCalendarPicture();
}

void MainDialog::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  menu.addAction(aboutAction_);
  menu.exec(event->globalPos());
}

void MainDialog::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter) {
    // Enter in a selector's text field confirms the typed item; it must not end the program.
    QWidget* focus = focusWidget();
    for (QComboBox* selector : {monthSelector_, yearSelector_}) {
      if (focus != nullptr && (focus == selector || selector->isAncestorOf(focus))) {
        event->accept();
        return;
      }
    }
  }
  QDialog::keyPressEvent(event);
}

}  // namespace lunetta
