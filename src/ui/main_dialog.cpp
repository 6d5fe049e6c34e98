#include "ui/main_dialog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "output/failure_messages.h"
#include "picture/load_picture_file.h"
#include "render/drawing.h"
#include "res/artwork.h"
#include "session/session_request.h"
#include "settings/settings_store.h"
#include "ui/about_dialog.h"
#include "ui/control_table.h"
#include "ui/dialog_units.h"
#include "ui/settings_dialog.h"
#include "ui/tool_tip_relay.h"
#include "ui/wall_dialog.h"
#include "ui/year_selector.h"
#include "wallpaper/screens.h"

namespace lunetta {

namespace {

Q_LOGGING_CATEGORY(lcMain, "lunetta.main")

// A deferred photograph is decoded once the selectors have been still this long: the notches of a
// spun mouse wheel come faster, so the months scrolled past are never decoded.
constexpr int kPhotoSettleMs = 60;

constexpr const char* kAboutEntry =
    QT_TRANSLATE_NOOP("lunetta::MainDialog", "Lunetta のﾊﾞｰｼﾞｮﾝ情報(&A)...");

// Month items are three characters wide: an ideographic space pads the one-digit months.
constexpr const char* kMonthItems[] = {QT_TRANSLATE_NOOP("lunetta::MainDialog", "　１月"),
                                       QT_TRANSLATE_NOOP("lunetta::MainDialog", "　２月"),
                                       QT_TRANSLATE_NOOP("lunetta::MainDialog", "　３月"),
                                       QT_TRANSLATE_NOOP("lunetta::MainDialog", "　４月"),
                                       QT_TRANSLATE_NOOP("lunetta::MainDialog", "　５月"),
                                       QT_TRANSLATE_NOOP("lunetta::MainDialog", "　６月"),
                                       QT_TRANSLATE_NOOP("lunetta::MainDialog", "　７月"),
                                       QT_TRANSLATE_NOOP("lunetta::MainDialog", "　８月"),
                                       QT_TRANSLATE_NOOP("lunetta::MainDialog", "　９月"),
                                       QT_TRANSLATE_NOOP("lunetta::MainDialog", "１０月"),
                                       QT_TRANSLATE_NOOP("lunetta::MainDialog", "１１月"),
                                       QT_TRANSLATE_NOOP("lunetta::MainDialog", "１２月")};

// A month as the notices name it.
constexpr const char* kMonthNames[] = {QT_TRANSLATE_NOOP("lunetta::MainDialog", "1月"),
                                       QT_TRANSLATE_NOOP("lunetta::MainDialog", "2月"),
                                       QT_TRANSLATE_NOOP("lunetta::MainDialog", "3月"),
                                       QT_TRANSLATE_NOOP("lunetta::MainDialog", "4月"),
                                       QT_TRANSLATE_NOOP("lunetta::MainDialog", "5月"),
                                       QT_TRANSLATE_NOOP("lunetta::MainDialog", "6月"),
                                       QT_TRANSLATE_NOOP("lunetta::MainDialog", "7月"),
                                       QT_TRANSLATE_NOOP("lunetta::MainDialog", "8月"),
                                       QT_TRANSLATE_NOOP("lunetta::MainDialog", "9月"),
                                       QT_TRANSLATE_NOOP("lunetta::MainDialog", "10月"),
                                       QT_TRANSLATE_NOOP("lunetta::MainDialog", "11月"),
                                       QT_TRANSLATE_NOOP("lunetta::MainDialog", "12月")};

QString MonthName(int month) {
  return month >= 1 && month <= 12 ? MainDialog::tr(kMonthNames[month - 1])
                                   : QString::number(month);
}

using Id = MainControl;
using Kind = ControlKind;

// The main window's template, in tab order.
constexpr ControlRow kControls[] = {
    {Id::Exit,
     Kind::MultiLineButton,
     QT_TRANSLATE_NOOP("lunetta::MainDialog", "終了"),
     {474, 326, 78, 24},
     QT_TRANSLATE_NOOP("lunetta::MainDialog", "プログラムを終了します。"),
     ControlFlag::Default},
    {Id::Open,
     Kind::MultiLineButton,
     QT_TRANSLATE_NOOP("lunetta::MainDialog", "画像ファイルを開く"),
     {396, 30, 66, 24},
     QT_TRANSLATE_NOOP("lunetta::MainDialog", "背景に使用する写真を選択してください")},
    {Id::MonthPhoto,
     Kind::MultiLineButton,
     QT_TRANSLATE_NOOP("lunetta::MainDialog", "この月の写真を選ぶ"),
     {396, 58, 66, 24},
     QT_TRANSLATE_NOOP("lunetta::MainDialog",
                       "選択中の月だけに使う写真を選びます。ほかの月は上の写真のままです")},
    {Id::ClearMonthPhoto,
     Kind::PushButton,
     QT_TRANSLATE_NOOP("lunetta::MainDialog", "月の写真を外す"),
     {396, 86, 66, 14},
     QT_TRANSLATE_NOOP("lunetta::MainDialog", "選択中の月の写真をやめ、共通の写真に戻します")},
    {Id::Year,
     Kind::Selector,
     {},
     {421, 125, 42, 56},
     QT_TRANSLATE_NOOP("lunetta::MainDialog", "カレンダーの年を選びます")},
    {Id::Month,
     Kind::Selector,
     {},
     {421, 149, 42, 58},
     QT_TRANSLATE_NOOP("lunetta::MainDialog", "カレンダーの月を選びます")},
    {Id::Settings,
     Kind::MultiLineButton,
     QT_TRANSLATE_NOOP("lunetta::MainDialog", "画像・配置・フォント"),
     {397, 203, 66, 24},
     QT_TRANSLATE_NOOP("lunetta::MainDialog",
                       "画像の大きさと写真の合わせ方、カレンダーの大きさと配置、"
                       "フォント・色・透過度を設定します")},
    {Id::Print,
     Kind::MultiLineButton,
     QT_TRANSLATE_NOOP("lunetta::MainDialog", "プリンタで印刷"),
     {480, 30, 66, 24},
     QT_TRANSLATE_NOOP("lunetta::MainDialog", "プリンタで印刷を行います")},
    {Id::DesktopPicture,
     Kind::MultiLineButton,
     QT_TRANSLATE_NOOP("lunetta::MainDialog", "ディスクトップ用画像保存"),
     {480, 60, 66, 24},
     QT_TRANSLATE_NOOP("lunetta::MainDialog", "ディスクトップの背景に使える画像を保存します")},
    {Id::SetWallpaper,
     Kind::MultiLineButton,
     QT_TRANSLATE_NOOP("lunetta::MainDialog", "壁紙に設定"),
     {480, 90, 66, 24},
     QT_TRANSLATE_NOOP("lunetta::MainDialog",
                       "表示中のカレンダー画像をデスクトップの壁紙に設定します")},
    {Id::MonthlyRefresh,
     Kind::CheckBox,
     QT_TRANSLATE_NOOP("lunetta::MainDialog", "毎月自動で更新する"),
     {476, 118, 75, 10},
     QT_TRANSLATE_NOOP("lunetta::MainDialog",
                       "毎月1日に、その月のカレンダーで壁紙を自動的に更新します")},
    {Id::DailyRefresh,
     Kind::CheckBox,
     QT_TRANSLATE_NOOP("lunetta::MainDialog", "毎日更新する"),
     {476, 129, 75, 10},
     QT_TRANSLATE_NOOP("lunetta::MainDialog",
                       "毎日0時過ぎと、起動やスリープ復帰のときに壁紙を更新します")},
    {Id::TodayMark,
     Kind::CheckBox,
     QT_TRANSLATE_NOOP("lunetta::MainDialog", "今日に印を付ける"),
     {476, 140, 75, 10},
     QT_TRANSLATE_NOOP("lunetta::MainDialog", "今日の日付を塗りつぶして目立たせます")},
    {Id::DimPastDays,
     Kind::CheckBox,
     QT_TRANSLATE_NOOP("lunetta::MainDialog", "過ぎた日を薄く"),
     {476, 151, 75, 10},
     QT_TRANSLATE_NOOP("lunetta::MainDialog", "今月の過ぎた日付を薄い色で表示します")},
    {Id::EveryScreen,
     Kind::CheckBox,
     QT_TRANSLATE_NOOP("lunetta::MainDialog", "各画面にカレンダー"),
     {476, 162, 75, 10},
     QT_TRANSLATE_NOOP("lunetta::MainDialog",
                       "複数の画面の壁紙のすべてにカレンダーを入れます（普通はメイン画面だけ）")},
    {Id::SaveYear,
     Kind::MultiLineButton,
     QT_TRANSLATE_NOOP("lunetta::MainDialog", "1年分を保存"),
     {480, 176, 66, 24},
     QT_TRANSLATE_NOOP("lunetta::MainDialog",
                       "選択中の年の12か月分の画像を、選んだフォルダーに保存します")},
    {Id::PrintYear,
     Kind::MultiLineButton,
     QT_TRANSLATE_NOOP("lunetta::MainDialog", "1年分を印刷"),
     {480, 204, 66, 24},
     QT_TRANSLATE_NOOP("lunetta::MainDialog",
                       "選択中の年の12か月を、1か月1ページで印刷します（PDFにも出力できます）")},
    {Id::WallCalendar,
     Kind::MultiLineButton,
     QT_TRANSLATE_NOOP("lunetta::MainDialog", "壁掛けカレンダーを作る"),
     {480, 232, 66, 24},
     QT_TRANSLATE_NOOP(
         "lunetta::MainDialog",
         "写真と大きな日付欄の、印刷用の壁掛けカレンダーを作ります（PDFにも出力できます）")},
    {Id::Preview, Kind::Frame, {}, {13, 15, 367, 321}},
    {kNoId,
     Kind::StaticText,
     QT_TRANSLATE_NOOP("lunetta::MainDialog", "選択年"),
     {397, 131, 22, 8},
     {},
     ControlFlag::MouseTransparent},
    {kNoId,
     Kind::StaticText,
     QT_TRANSLATE_NOOP("lunetta::MainDialog", "選択月"),
     {397, 155, 22, 8},
     {},
     ControlFlag::MouseTransparent},
    {Id::Origin, Kind::StaticText, "(0,0)", {13, 5, 14, 8}, {}, ControlFlag::MouseTransparent},
    {Id::SizeLabel, Kind::ReadOnlyEdit, {}, {319, 339, 62, 12}, {}, ControlFlag::AlignRight},
    {Id::Notice, Kind::StaticText, {}, {13, 340, 300, 10}},
    {Id::PositionLabel,
     Kind::ReadOnlyEdit,
     {},
     {421, 185, 42, 14},
     {},
     ControlFlag::AlignCenter | ControlFlag::Border},
    {kNoId,
     Kind::StaticText,
     QT_TRANSLATE_NOOP("lunetta::MainDialog", "カレンダー座標"),
     {397, 173, 45, 8},
     {},
     ControlFlag::MouseTransparent},
    {kNoId,
     Kind::GroupBox,
     QT_TRANSLATE_NOOP("lunetta::MainDialog", "②　カレンダー設定"),
     {390, 113, 78, 120}},
    {kNoId,
     Kind::GroupBox,
     QT_TRANSLATE_NOOP("lunetta::MainDialog", "③　仕上げ"),
     {474, 15, 78, 249}},
    {kNoId,
     Kind::GroupBox,
     QT_TRANSLATE_NOOP("lunetta::MainDialog", "①　ファイル選択"),
     {390, 15, 78, 91}},
    {kNoId, Kind::StaticText, "≪", {382, 321, 8, 8}, {}, ControlFlag::MouseTransparent},
    {kNoId, Kind::StaticText, "≫", {5, 321, 8, 8}, {}, ControlFlag::MouseTransparent},
};

QString SizeLabelText(PictureSize size) {
  return QStringLiteral("(%1,%2)").arg(size.width).arg(size.height);
}

// The photo formats that really open, then every file: the reader judges by content, not by name.
QString OpenFilter() {
  return MainDialog::tr("画像ファイル (%1);;すべてのファイル (*)")
      .arg(PhotoFilePatterns().join(QLatin1Char(' ')));
}

// The folder a file dialog starts in: the remembered one while it is there, else the user's
// Pictures folder, else home. Never the working directory: started from its desktop entry, or
// installed, that may be a folder the user cannot write.
QString StartFolder(const QString& remembered) {
  for (const QString& folder :
       {remembered, QStandardPaths::writableLocation(QStandardPaths::PicturesLocation)}) {
    if (!folder.isEmpty() && QFileInfo(folder).isDir()) {
      return folder;
    }
  }
  return QDir::homePath();
}

}  // namespace

SessionEnvironment MainDialog::DesktopEnvironment() {
  SessionEnvironment environment;
  // holiday.dat is looked for here first for the whole run, wherever the current directory goes
  // later.
  std::error_code error;
  const std::filesystem::path startup = std::filesystem::current_path(error);
  if (error) {
    qCWarning(lcMain) << "cannot read the working directory:" << error.message().c_str();
  }
  environment.holidayFiles = HolidaySearchPath(startup);
  // In device pixels: a 4K screen at 200 % is 3840 × 2160, not its 1920 × 1080 of layout.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QSize pixels = screen->size() * screen->devicePixelRatio();
    environment.screenSize = PictureSize{pixels.width(), pixels.height()};
  }
  return environment;
}

MainDialog::MainDialog(QWidget* parent) : MainDialog(DesktopEnvironment(), parent) {}

namespace {

// The temporary folder the user asked for. QDir::tempPath() is empty when TMPDIR names a folder
// that is not there; the message must name that folder.
QString TemporaryFolder() {
  const QString path = QDir::tempPath();
  return path.isEmpty() ? qEnvironmentVariable("TMPDIR") : path;
}

}  // namespace

SessionEnvironment MainDialog::InWorkFolder(SessionEnvironment environment) {
  if (environment.composedPicturePath.empty()) {
    // A folder of this window's own: another user cannot read, plant or redirect the picture in
    // it, and a second Lunetta has its own.
    workFolder_ = PrivateFolder::Create(FilePath(TemporaryFolder()), workFolderError_);
    if (!workFolder_.path().empty()) {
      environment.composedPicturePath = workFolder_.path() / "Calendar.bmp";
    }
  }
  return environment;
}

MainDialog::MainDialog(SessionEnvironment environment, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      session_(InWorkFolder(std::move(environment))),
      openFileDialog_(
          [](const QString& startFolder, const QString& filter) -> std::optional<QString> {
            // No owner, as the template's open dialog; a name that does not exist may be typed.
            QFileDialog dialog(nullptr, QString(), startFolder);
            dialog.setAcceptMode(QFileDialog::AcceptOpen);
            dialog.setFileMode(QFileDialog::AnyFile);
            dialog.setNameFilters(filter.split(QStringLiteral(";;")));
            if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
              return std::nullopt;
            }
            return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
          }),
      runSettingsDialog_([this](CalendarSettings& settings) {
        SettingsDialog dialog(this);
        dialog.setScreenSize(session_.screenSize());
        dialog.setSettings(settings);
        if (dialog.exec() != QDialog::Accepted) {
          return false;
        }
        dialog.applyTo(settings);
        return true;
      }),
      askYear_([this](int shown) -> std::optional<int> {
        bool ok = false;
        const int year = QInputDialog::getInt(
            this, tr("ほかの年"),
            tr("カレンダーの年（%1～%2）").arg(kFirstSelectableYear).arg(kLastSelectableYear),
            shown, kFirstSelectableYear, kLastSelectableYear, 1, &ok);
        return ok ? std::optional(year) : std::nullopt;
      }),
      runAboutDialog_([this]() {
        AboutDialog dialog(this);
        dialog.exec();
      }),
      reportError_([this](const QString& message) {
        QMessageBox::critical(this, QStringLiteral("Lunetta"), message);
      }) {
  setWindowTitle(QStringLiteral("lunetta"));
  setWindowIcon(ApplicationIcon());
  setFont(TemplateFont(QStringLiteral("ＭＳ Ｐゴシック"), 9));
  BuildControls();
  OnInitDialog();
}

MainDialog::~MainDialog() = default;

void MainDialog::BuildControls() {
  const DialogUnits du(font());
  setFixedSize(du.x(558), du.y(359));

  auto* toolTips = new ToolTipRelay(this);
  const ControlSet controls = lunetta::BuildControls(*this, du, kControls, toolTips);
  toolTips->setActive(true);

  auto* exitButton = controls.get<QPushButton>(Id::Exit);
  openButton_ = controls.get<QPushButton>(Id::Open);
  monthPhotoButton_ = controls.get<QPushButton>(Id::MonthPhoto);
  clearMonthPhotoButton_ = controls.get<QPushButton>(Id::ClearMonthPhoto);
  yearSelector_ = controls.get<QComboBox>(Id::Year);
  monthSelector_ = controls.get<QComboBox>(Id::Month);
  preview_ = controls.get<QFrame>(Id::Preview);
  sizeLabel_ = controls.get<QLineEdit>(Id::SizeLabel);
  positionLabel_ = controls.get<QLineEdit>(Id::PositionLabel);
  noticeLabel_ = controls.get<QLabel>(Id::Notice);
  originLabel_ = controls.get<QLabel>(Id::Origin);
  originAbovePicture_ = preview_->pos() - originLabel_->pos();
  monthlyRefreshBox_ = controls.get<QCheckBox>(Id::MonthlyRefresh);
  dailyRefreshBox_ = controls.get<QCheckBox>(Id::DailyRefresh);
  todayMarkBox_ = controls.get<QCheckBox>(Id::TodayMark);
  dimPastDaysBox_ = controls.get<QCheckBox>(Id::DimPastDays);
  everyScreenBox_ = controls.get<QCheckBox>(Id::EveryScreen);
  // Enter presses the focused button; elsewhere it presses the exit button, the default.
  for (QPushButton* button : findChildren<QPushButton*>()) {
    button->setAutoDefault(true);
  }

  const std::pair<Id, void (MainDialog::*)()> commands[] = {
      {Id::Exit, &MainDialog::OnOK},
      {Id::Open, &MainDialog::OnOpenFile},
      {Id::MonthPhoto, &MainDialog::OnChooseMonthPhoto},
      {Id::ClearMonthPhoto, &MainDialog::OnClearMonthPhoto},
      {Id::SaveYear, &MainDialog::OnSaveYear},
      {Id::PrintYear, &MainDialog::OnPrintYear},
      {Id::WallCalendar, &MainDialog::OnWallCalendar},
      {Id::Settings, &MainDialog::OnSettings},
      {Id::Print, &MainDialog::OnPrint},
      {Id::DesktopPicture, &MainDialog::OnSaveDesktopPicture},
      {Id::SetWallpaper, &MainDialog::OnSetWallpaper}};
  for (const auto& [id, command] : commands) {
    connect(controls.get<QPushButton>(id), &QPushButton::clicked, this, command);
  }
  // Clicked, not toggled: the box is set from the profile at start without installing anything.
  connect(monthlyRefreshBox_, &QCheckBox::clicked, this, &MainDialog::OnMonthlyRefresh);
  connect(dailyRefreshBox_, &QCheckBox::clicked, this, &MainDialog::OnDailyRefresh);
  for (QCheckBox* box : {todayMarkBox_, dimPastDaysBox_, everyScreenBox_}) {
    connect(box, &QCheckBox::clicked, this, &MainDialog::OnDayOptions);
  }
  connect(monthSelector_, &QComboBox::activated, this, &MainDialog::OnMonthSelected);
  connect(yearSelector_, &QComboBox::activated, this, &MainDialog::OnYearSelected);
  for (QComboBox* selector : {monthSelector_, yearSelector_}) {
    selector->installEventFilter(this);
    // Typed text that names no item is dropped when the field loses the focus: the selectors act
    // on their items only.
    connect(selector->lineEdit(), &QLineEdit::editingFinished, this,
            [this, selector] { ConfirmTypedItem(selector); });
  }

  photoDecodeTimer_ = new QTimer(this);
  photoDecodeTimer_->setSingleShot(true);
  photoDecodeTimer_->setInterval(kPhotoSettleMs);
  connect(photoDecodeTimer_, &QTimer::timeout, this, [this] {
    session_.DecodeDeferredPhoto([this] {
      // On the worker's thread. The window is still there: its session, a member, waits for the
      // worker before the window's QObject goes, and that drops the posted call.
      QMetaObject::invokeMethod(this, &MainDialog::OnPhotoArrived, Qt::QueuedConnection);
    });
  });

  aboutAction_ = new QAction(tr(kAboutEntry), this);
  aboutAction_->setShortcut(QKeySequence(Qt::Key_F1));
  aboutAction_->setShortcutContext(Qt::WindowShortcut);
  addAction(aboutAction_);
  connect(aboutAction_, &QAction::triggered, this, &MainDialog::OnAbout);

  AcceptDropsOnTheWindowOnly();
  exitButton->setFocus();
}

void MainDialog::AcceptDropsOnTheWindowOnly() {
  // A photo dropped on a selector, a label or a button is meant for the window: the children
  // refuse drops, so Qt hands them to the dialog. Otherwise a selector's text field would take the
  // file's name as typed text.
  for (QWidget* child : findChildren<QWidget*>()) {
    child->setAcceptDrops(false);
  }
}

void MainDialog::OnInitDialog() {
  setAcceptDrops(true);
  // A profile that cannot be read gives the defaults; saving then says why it cannot replace it.
  (void)session_.LoadSettings(session_.profilePath());

  const LocalDate& start = session_.startDate();
  monthSelector_->clear();
  for (const char* item : kMonthItems) {
    monthSelector_->addItem(tr(item));
  }
  monthSelector_->setCurrentIndex(start.month >= 1 && start.month <= 12 ? start.month - 1 : -1);
  FillYearSelector(yearSelector_, start.year);

  ShowRenewalState();
  const CalendarSettings& settings = session_.settings();
  todayMarkBox_->setChecked(settings.todayMark);
  dimPastDaysBox_->setChecked(settings.dimPastDays);
  everyScreenBox_->setChecked(settings.everyScreen);

  // The session starts on the selectors' year and month, with that year's holidays.
  OpenRememberedPhoto();
  WriteSizeLabel();
  grab_.reset();
  dragFrame_ = QRect();
}

void MainDialog::OpenRememberedPhoto() {
  if (const std::filesystem::path& remembered = session_.rememberedPhoto(); !remembered.empty()) {
    session_.ChoosePhoto(remembered);
  }
  for (int month = 1; month <= 12; ++month) {
    session_.ChooseMonthPhoto(month, session_.rememberedMonthPhotos()[month - 1]);
  }
  // Waited for: a photograph that cannot be opened is told at once.
  RefreshCalendarPicture(PhotoWait::Wait);
  ShowMonthPhotoState();
  const std::filesystem::path& shown = session_.shownPhotoPath();
  if (const std::optional<Failure>& failure = session_.photoFailure(); failure && !shown.empty()) {
    ShowNotice(tr("前回の写真を開けないため、写真なしで表示しています（%1）：%2")
                   .arg(FailureReason(*failure), QDir::toNativeSeparators(QtPath(shown))));
  }
}

int MainDialog::selectedYear() const {
  const int index = yearSelector_->currentIndex();
  // No selection counts back from the start year, as the three first items count on from it.
  return YearAt(yearSelector_, index).value_or(session_.startDate().year + index);
}

int MainDialog::selectedMonth() const {
  return monthSelector_->currentIndex() + 1;
}

QRect MainDialog::previewBounds() const {
  // Every size keeps its shape: a stretched preview would misplace the block it lets the user drag.
  return ShownPicture(preview_->geometry(), session_.pictureSize());
}

void MainDialog::RefreshCalendarPicture(PhotoWait wait) {
  Status composed = session_.Compose(wait);
  if (session_.photoPending()) {
    photoDecodeTimer_->start();
  } else {
    photoDecodeTimer_->stop();
  }
  if (composed && workFolderError_) {
    composed = Failure(Fault::CannotWrite, FilePath(TemporaryFolder()), workFolderError_);
  }
  if (!composed && !compositionFailureShown_) {
    // Said once: every later composition would fail the same way. The picture in memory still
    // shows, saves and prints.
    compositionFailureShown_ = true;
    // Shown from the event loop, over the window rather than before it.
    const QString message = tr("カレンダー画像を一時フォルダーに書き込めませんでした。\n\n%1")
                                .arg(FailureMessage(composed.failure()));
    QMetaObject::invokeMethod(
        this, [this, message] { reportError_(message); }, Qt::QueuedConnection);
  }
  PaintPreview();
  // Where the block is drawn, which a month of six rows may have moved from its stored place.
  WritePositionLabel(QPoint(session_.blockX(), session_.blockY()));
  NoteWhatHappened();
  emit pictureComposed();
}

void MainDialog::OnPhotoArrived() {
  if (session_.photoPending()) {
    RefreshCalendarPicture();
  }
}

void MainDialog::FinishPicture() {
  if (session_.photoPending()) {
    RefreshCalendarPicture(PhotoWait::Wait);
  }
}

void MainDialog::NoteWhatHappened() {
  QStringList notes;
  // A photograph that cannot be used is told when it is chosen, and again only when the reason
  // changes (the file changed on disk, say). A stale word about it goes once the photo works.
  const std::optional<Failure>& photo = session_.photoFailure();
  const bool tellPhoto = photo && (photoChosen_ || photo != photoFailureTold_);
  if (tellPhoto) {
    notes << PhotoNotice(*photo);
  } else if (!photo && noticeIsPhoto_) {
    ShowNotice(QString());
  }
  photoFailureTold_ = photo;
  photoChosen_ = false;

  const int year = session_.year();
  if (holidayYearsNoted_.insert(year).second) {
    if (QString holidays = HolidayNotice(year, session_.holidaySource(), session_.holidayFile(),
                                         session_.holidayFailure());
        !holidays.isEmpty()) {
      notes << holidays;
    }
  }
  // What keeps a calendar file from marking its days, each once: a fixed file says nothing more.
  for (const Failure& problem : session_.CalendarProblems()) {
    if (QString note = CalendarNotice(problem); calendarNotesTold_.insert(note).second) {
      notes << note;
    }
  }
  if (!notes.isEmpty()) {
    ShowNotice(notes.join(tr("　", "between two notes")));
    noticeIsPhoto_ = tellPhoto;
  }
}

void MainDialog::ShowNotice(const QString& text) {
  noticeIsPhoto_ = false;
  // A long text is cut at its end, so the file it names stays readable; the tool tip has it whole.
  noticeLabel_->setText(
      noticeLabel_->fontMetrics().elidedText(text, Qt::ElideRight, noticeLabel_->width()));
  noticeLabel_->setToolTip(text);
}

QString MainDialog::notice() const {
  return noticeLabel_->toolTip();
}

void MainDialog::PaintPreview() {
  // Stretched once into memory, at the screen's own resolution: repaints and the moving drag frame
  // draw from this copy.
  const QRect shown = previewBounds();
  const QSize size = shown.size();
  const qreal ratio = devicePixelRatioF();
  QImage stretched(size * ratio, QImage::Format_RGB32);
  stretched.setDevicePixelRatio(ratio);
  QPainter painter(&stretched);
  const bool painted =
      previewPainter_.PaintStretched(session_.picture(), painter, size.width(), size.height());
  painter.end();
  previewPicture_ = painted ? QPixmap::fromImage(stretched) : QPixmap();
  previewOrigin_ = shown.topLeft();
  // The picture's origin is marked where the picture begins.
  originLabel_->move(previewOrigin_ - originAbovePicture_);
  // A picture over the whole area covers the grey frame, as it does when painted onto the control;
  // one of another shape shows on the window's colour.
  preview_->setFrameShape(previewPicture_.isNull() ? QFrame::Box : QFrame::NoFrame);
  update(preview_->geometry());
}

std::optional<QString> MainDialog::AskForPhoto(QPushButton* button) {
  const QString photo = QtPath(session_.shownPhotoPath());
  const QString lastFolder = photo.isEmpty() ? QString() : QFileInfo(photo).absolutePath();
  button->setEnabled(false);
  const std::optional<QString> chosen = openFileDialog_(StartFolder(lastFolder), OpenFilter());
  button->setEnabled(true);
  // Disabling the button passed the focus on to the next control, where the arrow keys of a
  // selector would change the year.
  button->setFocus(Qt::OtherFocusReason);
  return chosen;
}

bool MainDialog::TellRefusedPhoto(const Status& chosen) {
  if (chosen) {
    return false;
  }
  ShowNotice(tr("%1（写真は元のままです）").arg(PhotoNotice(chosen.failure())));
  noticeIsPhoto_ = true;  // goes once a photo works
  return true;
}

void MainDialog::OnOpenFile() {
  Status chosen;
  if (const std::optional<QString> path = AskForPhoto(openButton_)) {
    chosen = session_.ReplacePhoto(FilePath(*path));
    photoChosen_ = true;
  }
  RefreshCalendarPicture();
  if (TellRefusedPhoto(chosen)) {
    return;
  }
  if (!session_.monthPhotoPath(selectedMonth()).empty()) {
    ShowNotice(
        tr("共通の写真を変えました。%1は月の写真のままです。").arg(MonthName(selectedMonth())));
  }
}

void MainDialog::OnChooseMonthPhoto() {
  const std::optional<QString> path = AskForPhoto(monthPhotoButton_);
  if (!path) {
    return;
  }
  const int month = selectedMonth();
  const Status chosen = session_.ReplaceMonthPhoto(month, FilePath(*path));
  photoChosen_ = true;
  RefreshCalendarPicture();
  ShowMonthPhotoState();
  if (!TellRefusedPhoto(chosen) && !session_.photoFailure()) {
    ShowNotice(tr("%1だけの写真にしました：%2").arg(MonthName(month), QFileInfo(*path).fileName()));
  }
}

void MainDialog::OnClearMonthPhoto() {
  const int month = selectedMonth();
  session_.ChooseMonthPhoto(month, {});
  RefreshCalendarPicture();
  ShowMonthPhotoState();
  ShowNotice(tr("%1は共通の写真に戻しました。").arg(MonthName(month)));
}

void MainDialog::ShowMonthPhotoState() {
  const bool own = !session_.monthPhotoPath(selectedMonth()).empty();
  if (!own && clearMonthPhotoButton_->hasFocus()) {
    // A disabled button would pass the focus on to the year selector.
    monthPhotoButton_->setFocus(Qt::OtherFocusReason);
  }
  clearMonthPhotoButton_->setEnabled(own);
}

void MainDialog::OnMonthSelected() {
  session_.ChooseMonth(selectedMonth());
  RefreshCalendarPicture();
  ShowMonthPhotoState();
}

void MainDialog::OnYearSelected() {
  if (!YearAt(yearSelector_, yearSelector_->currentIndex())) {
    // The "other year" item: the year asked for joins the list; a cancelled question goes back to
    // the year shown.
    const std::optional<int> asked = askYear_(session_.year());
    SelectYear(yearSelector_, asked.value_or(session_.year()));
    if (!asked || *asked == session_.year()) {
      return;
    }
  }
  session_.ChooseYear(selectedYear());
  RefreshCalendarPicture();
}

void MainDialog::OnSettings() {
  CalendarSettings edited = session_.settings();
  if (!runSettingsDialog_(edited)) {
    return;
  }
  session_.ApplySettings(edited);
  RefreshCalendarPicture();
  WriteSizeLabel();
}

void MainDialog::OnPrint() {
  FinishPicture();
  PrintPicture(session_.picture(), printDialogs_);
}

void MainDialog::OnSaveDesktopPicture() {
  FinishPicture();
  const SaveReport saved =
      SaveDesktopPicture(session_, StartFolder(lastSaveFolder_), desktopPictureDialogs_);
  if (saved.outcome == SaveOutcome::Saved) {
    const QFileInfo target(saved.target);
    lastSaveFolder_ = target.absolutePath();
    ShowNotice(tr("保存しました：%1").arg(QDir::toNativeSeparators(target.absoluteFilePath())));
  }
}

namespace {

// "（写真を使えず写真なしの月：3月、5月）", or nothing when every month had its photo.
QString MonthsWithoutPhoto(const YearOutcome& outcome) {
  QStringList months;
  for (const auto& [month, failure] : outcome.photoFailures) {
    // Each month once, though printed copies repeat it.
    if (!months.contains(MonthName(month))) {
      months << MonthName(month);
    }
  }
  return months.isEmpty() ? QString()
                          : MainDialog::tr("（写真を使えず写真なしの月：%1）")
                                .arg(months.join(MainDialog::tr("、", "between month names")));
}

}  // namespace

void MainDialog::OnSaveYear() {
  const YearOutputReport report =
      SaveYearPictures(session_, StartFolder(lastSaveFolder_), desktopPictureDialogs_, runYear_);
  const QString folder = QDir::toNativeSeparators(report.target);
  if (report.result == YearOutputOutcome::Done) {
    lastSaveFolder_ = report.target;
    ShowNotice(tr("%1 年の12か月分を保存しました：%2%3")
                   .arg(session_.year())
                   .arg(folder, MonthsWithoutPhoto(report.outcome)));
  } else if (report.result == YearOutputOutcome::Cancelled) {
    ShowNotice(tr("保存を中止しました。保存済みの %1 枚はそのまま残っています：%2")
                   .arg(report.outcome.finished.size())
                   .arg(folder));
  }
}

void MainDialog::OnPrintYear() {
  const YearOutputReport report = PrintYear(session_, printDialogs_, runYear_);
  if (report.result == YearOutputOutcome::Done) {
    const QString done = report.target.isEmpty()
                             ? tr("%1 年の12か月分を印刷しました").arg(session_.year())
                             : tr("%1 年の12か月分をPDFに出力しました：%2")
                                   .arg(session_.year())
                                   .arg(QDir::toNativeSeparators(report.target));
    ShowNotice(done + MonthsWithoutPhoto(report.outcome));
  } else if (report.result == YearOutputOutcome::Cancelled) {
    ShowNotice(tr("1年分の印刷を中止しました。"));
  }
}

void MainDialog::OnWallCalendar() {
  const QString start = StartFolder(lastSaveFolder_);
  WallDialog dialog(session_, wallCrops_, printDialogs_, desktopPictureDialogs_, runYear_, start,
                    this);
  dialog.exec();
  if (dialog.lastFolder() != start) {
    lastSaveFolder_ = dialog.lastFolder();
  }
}

void MainDialog::OnSetWallpaper() {
  FinishPicture();
  SessionRequest request;
  request.setWallpaper = true;
  request.keepWallpaperForRenewal = true;
  request.wallpaper.screens = LiveScreens();
  if (const QScreen* shown = screen()) {
    request.wallpaper.screenSize = shown->size() * shown->devicePixelRatio();
  }
  // The desktop's programs answer within moments, but the window waits for them.
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const RequestOutcome outcome = CarryOut(session_, request);
  QApplication::restoreOverrideCursor();
  if (!outcome.status) {
    const QString why = FailureMessage(outcome.status.failure());
    if (outcome.step == RequestStep::Renewal) {
      reportError_(tr("壁紙の自動更新を設定できませんでした。\n\n%1").arg(why));
      return;
    }
    reportError_(
        outcome.desktop.name.isEmpty()
            ? tr("このデスクトップの壁紙を設定できませんでした。\n\n%1").arg(why)
            : tr("%1 の壁紙を設定できませんでした。\n\n%2").arg(outcome.desktop.name, why));
    return;
  }
  const QString picture = QtPath(outcome.wallpaper);
  ShowNotice(outcome.desktop.name.isEmpty()
                 ? tr("このデスクトップの壁紙に設定しました：%1").arg(picture)
                 : tr("%1 の壁紙に設定しました：%2").arg(outcome.desktop.name, picture));
}

void MainDialog::OnMonthlyRefresh() {
  ChangeRenewal(monthlyRefreshBox_->isChecked(), false);
}

void MainDialog::OnDailyRefresh() {
  ChangeRenewal(dailyRefreshBox_->isChecked(), true);
}

void MainDialog::ShowRenewalState() {
  monthlyRefreshBox_->setChecked(session_.monthlyRefresh() && !session_.dailyRefresh());
  dailyRefreshBox_->setChecked(session_.dailyRefresh());
}

void MainDialog::ChangeRenewal(bool on, bool daily) {
  SessionRequest request;
  request.renewal = on;
  request.renewalDaily = daily;
  request.composeProgram =
      FilePath(QCoreApplication::applicationDirPath() + QStringLiteral("/lunetta-compose"));
  // The renewal renders what the window shows now, whatever is saved on leaving, on the screens
  // there are now.
  request.wallpaper.screens = LiveScreens();
  const RequestOutcome outcome = CarryOut(session_, request);
  ShowRenewalState();
  if (!outcome.status) {
    reportError_((on ? tr("壁紙の自動更新を設定できませんでした。\n\n%1")
                     : tr("壁紙の自動更新を解除できませんでした。\n\n%1"))
                     .arg(FailureMessage(outcome.status.failure())));
    return;
  }
  ShowNotice(!on     ? tr("壁紙の自動更新を止めました。")
             : daily ? tr("毎日、壁紙を自動で更新します。")
                     : tr("毎月1日に壁紙を自動で更新します。"));
}

void MainDialog::OnDayOptions() {
  CalendarSettings settings = session_.settings();
  settings.todayMark = todayMarkBox_->isChecked() ? 1 : 0;
  settings.dimPastDays = dimPastDaysBox_->isChecked() ? 1 : 0;
  settings.everyScreen = everyScreenBox_->isChecked() ? 1 : 0;
  session_.ApplySettings(settings);
  RefreshCalendarPicture();
}

void MainDialog::OnAbout() {
  runAboutDialog_();
}

void MainDialog::OnOK() {
  if (const Status saved = session_.SaveSettings(session_.profilePath()); !saved) {
    reportError_(tr("設定を保存できませんでした。\n%1").arg(FailureMessage(saved.failure())));
  }
  accept();
}

void MainDialog::WriteSizeLabel() {
  sizeLabel_->setText(SizeLabelText(session_.pictureSize()));
}

void MainDialog::WritePositionLabel(QPoint at) {
  positionLabel_->setText(QStringLiteral("(%1,%2)").arg(at.x()).arg(at.y()));
}

QSize MainDialog::BlockSize() const {
  return QSize(session_.blockWidth(), session_.blockHeight());
}

DragPlacement MainDialog::PlaceBlock(QPoint point) const {
  DragPlacement placement = PlaceGrabbedBlock(point, *grab_, previewBounds(), BlockSize(),
                                              previewScaleX(), previewScaleY());
  if (session_.settings().proportional) {
    // The frame shows where the drop snaps to: the nearest anchor at its margin.
    const Rect snapped = session_.PlacedBlock(placement.picture.x(), placement.picture.y());
    placement.picture = QPoint(snapped.left, snapped.top);
    placement.frame = QPoint(static_cast<int>(previewBounds().x() + snapped.left * previewScaleX()),
                             static_cast<int>(previewBounds().y() + snapped.top * previewScaleY()));
  }
  return placement;
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
    painter.drawPixmap(previewOrigin_, previewPicture_);
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
  // Only the shown picture takes hold of the block; a press beside a control does nothing.
  const QPoint point = event->position().toPoint();
  if (event->button() == Qt::LeftButton && previewBounds().contains(point)) {
    // The block is taken where it is drawn.
    grab_ = GrabBlock(point, previewBounds(), QPoint(session_.blockX(), session_.blockY()),
                      BlockSize(), previewScaleX(), previewScaleY());
    MoveDragFrame(QRect());
  }
  QDialog::mousePressEvent(event);
}

void MainDialog::mouseMoveEvent(QMouseEvent* event) {
  if (grab_) {
    const DragPlacement placement = PlaceBlock(event->position().toPoint());
    MoveDragFrame(QRect(placement.frame, placement.frameSize));
    WritePositionLabel(placement.picture);
  }
  QDialog::mouseMoveEvent(event);
}

void MainDialog::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && grab_) {
    MoveDragFrame(QRect());
    const DragPlacement placement = PlaceBlock(event->position().toPoint());
    grab_.reset();
    session_.MoveBlock(placement.picture.x(), placement.picture.y());
    WritePositionLabel(placement.picture);
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
  // A month with a photo of its own takes the dropped one in its place.
  const int month = selectedMonth();
  const Status chosen = session_.monthPhotoPath(month).empty()
                            ? session_.ReplacePhoto(FilePath(first->toLocalFile()))
                            : session_.ReplaceMonthPhoto(month, FilePath(first->toLocalFile()));
  photoChosen_ = true;
  RefreshCalendarPicture();
  TellRefusedPhoto(chosen);
}

void MainDialog::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  menu.addAction(aboutAction_);
  menu.exec(event->globalPos());
}

void MainDialog::ConfirmTypedItem(QComboBox* selector) {
  const int typed = selector->findText(selector->currentText());
  if (const std::optional<int> year = TypedYear(selector->currentText());
      typed < 0 && selector == yearSelector_ && year) {
    // A year the list lacks but the calendar reaches joins the list.
    SelectYear(yearSelector_, *year);
    OnYearSelected();
  } else if (typed < 0) {
    selector->setEditText(selector->itemText(selector->currentIndex()));
  } else if (typed != selector->currentIndex()) {
    selector->setCurrentIndex(typed);
    selector == monthSelector_ ? OnMonthSelected() : OnYearSelected();
  }
}

bool MainDialog::eventFilter(QObject* watched, QEvent* event) {
  // Enter in a selector's text field confirms the typed item, or drops text that names none; the
  // key must not reach the dialog, where it would end the program.
  if (event->type() == QEvent::KeyPress &&
      (watched == monthSelector_ || watched == yearSelector_)) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      ConfirmTypedItem(static_cast<QComboBox*>(watched));
      event->accept();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace lunetta
