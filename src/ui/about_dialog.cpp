#include "ui/about_dialog.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QPushButton>
#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

#include "render/drawing.h"
#include "res/artwork.h"
#include "ui/control_table.h"
#include "ui/dialog_units.h"
#include "ui/screen_placement.h"

namespace lunetta {

namespace {

Q_LOGGING_CATEGORY(lcAbout, "lunetta.about")

constexpr int kShortenedBy = 210;  // the template is taller than its content

enum class Id {
  Ok = 1,
  Readme = AboutDialog::kReadmeLinkId,
  Licence = AboutDialog::kLicenceLinkId
};
using Kind = ControlKind;

constexpr const char* kReadmeCaption = QT_TRANSLATE_NOOP("lunetta::AboutDialog", "説明書 : ");

// Each document's row: a caption ending at the value's left edge, then the value, a link to the
// document where it is installed. The read-me's row shows only when there is one to open.
constexpr ControlRow kControls[] = {
    {kNoId, Kind::Custom, {}, {7, 7, 103, 43}},  // the logo
    {kNoId,
     Kind::StaticText,
     "Lunetta Version " LUNETTA_VERSION,
     {115, 7, 105, 8},
     {},
     ControlFlag::MouseTransparent},
    {kNoId,
     Kind::StaticText,
     kReadmeCaption,
     {110, 36, 56, 8},
     {},
     ControlFlag::MouseTransparent | ControlFlag::AlignRight},
    {Id::Readme,
     Kind::StaticText,
     AboutDialog::kReadmeFile,
     {168, 36, 76, 8},
     {},
     ControlFlag::MouseTransparent},
    {kNoId,
     Kind::StaticText,
     QT_TRANSLATE_NOOP("lunetta::AboutDialog", "ライセンス : "),
     {110, 48, 56, 8},
     {},
     ControlFlag::MouseTransparent | ControlFlag::AlignRight},
    {Id::Licence, Kind::StaticText, "MIT", {168, 48, 76, 8}, {}, ControlFlag::MouseTransparent},
    {Id::Ok, Kind::PushButton, "OK", {216, 72, 50, 14}, {}, ControlFlag::Default},
};

void SetLinkColor(QLabel* link, bool hot) {
  QPalette palette = link->palette();
  palette.setColor(QPalette::WindowText,
                   QColor::fromRgb(hot ? AboutDialog::kHotLinkColor : AboutDialog::kLinkColor));
  link->setPalette(palette);
}

// The document's address when it is installed; nothing otherwise.
QUrl InstalledDocument(const QString& folder, const char* name) {
  const QFileInfo file(QDir(folder).filePath(QString::fromLatin1(name)));
  return file.isFile() ? QUrl::fromLocalFile(file.absoluteFilePath()) : QUrl();
}

}  // namespace

QString InstalledDocFolder() {
  return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                         QStringLiteral("/../share/doc/lunetta"));
}

AboutDialog::AboutDialog(QWidget* parent, const QString& docFolder)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      handCursor_(HandCursor()),
      openUrl_([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {
  setWindowTitle(tr("Lunettaのﾊﾞｰｼﾞｮﾝ情報"));
  setFont(TemplateFont(QStringLiteral("ＭＳ Ｐゴシック"), 9));
  const DialogUnits du(font());
  setFixedSize(du.x(275), du.y(240) - kShortenedBy);
  setMouseTracking(true);

  const QUrl readme = InstalledDocument(docFolder, kReadmeFile);
  std::vector<ControlRow> rows(std::begin(kControls), std::end(kControls));
  if (readme.isEmpty()) {
    std::erase_if(rows, [](const ControlRow& row) {
      return row.text == kReadmeCaption || row.id == Id::Readme;
    });
  }
  const ControlSet controls =
      BuildControls(*this, du, rows, nullptr, [](const ControlRow&, QWidget* parent) {
        auto* logo = new QLabel(parent);
        logo->setPixmap(LogoPicture());
        logo->setAttribute(Qt::WA_TransparentForMouseEvents);
        return logo;
      });
  // A picture static takes the size of its bitmap.
  auto* logo = qobject_cast<QLabel*>(controls.all().front());
  logo->resize(logo->pixmap().size());
  connect(controls.get<QPushButton>(Id::Ok), &QPushButton::clicked, this, &QDialog::accept);

  QFont linkFont = CreateFont(QStringLiteral("ＭＳ Ｐゴシック"), 12, 400, false);
  linkFont.setUnderline(true);
  const std::pair<Id, QUrl> documents[] = {
      {Id::Readme, readme}, {Id::Licence, InstalledDocument(docFolder, kLicenceFile)}};
  for (std::size_t i = 0; i < links_.size(); ++i) {
    const auto [id, target] = documents[i];
    auto* value = controls.get<QLabel>(id);
    if (value == nullptr) {
      continue;
    }
    // The caption, made just before the value, takes the value's height.
    QWidget* caption = *(std::find(controls.all().begin(), controls.all().end(), value) - 1);
    value->resize(value->width(), std::max(value->height(), value->sizeHint().height()));
    caption->resize(caption->width(), value->height());
    if (!target.isEmpty()) {
      value->setFont(linkFont);
      value->resize(value->width(), std::max(value->height(), value->sizeHint().height()));
      SetLinkColor(value, false);
      links_[i] = Link{value, target};
    }
  }
}

void AboutDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Centred with the shortened size.
  CentreOnScreen(*this);
  raise();
}

bool AboutDialog::over(const Link& link, QPoint point) const {
  return link.label != nullptr && link.label->geometry().contains(point);
}

void AboutDialog::setPointer(QPoint point) {
  const bool onLink =
      std::any_of(links_.begin(), links_.end(), [&](const Link& l) { return over(l, point); });
  setCursor(onLink ? handCursor_ : QCursor(Qt::ArrowCursor));
}

void AboutDialog::setHot(Link& link, bool value) {
  if (link.label == nullptr || link.hot == value) {
    return;
  }
  link.hot = value;
  SetLinkColor(link.label, value);
}

void AboutDialog::mouseMoveEvent(QMouseEvent* event) {
  const QPoint point = event->position().toPoint();
  setPointer(point);
  for (Link& link : links_) {
    setHot(link, over(link, point));
  }
  QDialog::mouseMoveEvent(event);
}

void AboutDialog::leaveEvent(QEvent* event) {
  // Leaving the dialog straight from a link must not leave it orange.
  for (Link& link : links_) {
    setHot(link, false);
  }
  QDialog::leaveEvent(event);
}

void AboutDialog::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    const QPoint point = event->position().toPoint();
    setPointer(point);
    for (Link& link : links_) {
      link.pressed = over(link, point);
    }
  }
  QDialog::mousePressEvent(event);
}

void AboutDialog::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    // Only a release over the link that was pressed opens it.
    const QPoint point = event->position().toPoint();
    for (Link& link : links_) {
      if (link.pressed && over(link, point)) {
        openLink(link);
      }
      link.pressed = false;
    }
  }
  QDialog::mouseReleaseEvent(event);
}

void AboutDialog::openLink(Link& link) {
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  // The desktop tells the user itself when nothing handles the address.
  if (!openUrl_(link.target)) {
    qCWarning(lcAbout) << "the desktop could not open" << link.target.toString();
  }
  QGuiApplication::restoreOverrideCursor();
  setHot(link, false);
  setCursor(Qt::ArrowCursor);
}

}  // namespace lunetta
