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

#include "render/drawing.h"
#include "res/artwork.h"
#include "ui/dialog_units.h"
#include "ui/screen_placement.h"

namespace lunetta {

namespace {

Q_LOGGING_CATEGORY(lcAbout, "lunetta.about")

constexpr int kShortenedBy = 210;  // the template is taller than its content

QLabel* AddStatic(QWidget* dialog, const QString& text, const QRect& place) {
  auto* label = new QLabel(text, dialog);
  label->setTextFormat(Qt::PlainText);
  label->setGeometry(place);
  label->setAttribute(Qt::WA_TransparentForMouseEvents);
  return label;
}

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

  auto* logo = new QLabel(this);
  const QPixmap logoPicture = LogoPicture();
  logo->setPixmap(logoPicture);
  // A picture static takes the size of its bitmap.
  logo->setGeometry(QRect(du.rect(7, 7, 103, 43).topLeft(), logoPicture.size()));
  logo->setAttribute(Qt::WA_TransparentForMouseEvents);

  AddStatic(this, QStringLiteral("Lunetta Version " LUNETTA_VERSION), du.rect(115, 7, 105, 8));

  QFont linkFont = CreateFont(QStringLiteral("ＭＳ Ｐゴシック"), 12, 400, false);
  linkFont.setUnderline(true);
  // Each row: a caption ending at the value's left edge, then the value, a link to the document
  // where it is installed. The read-me's row shows only when there is one to open.
  const struct {
    int id;
    const char* caption;
    QString text;
    QUrl target;
    int top;
  } rows[] = {
      {kReadmeLinkId, QT_TR_NOOP("説明書 : "), QString::fromLatin1(kReadmeFile),
       InstalledDocument(docFolder, kReadmeFile), 36},
      {kLicenceLinkId, QT_TR_NOOP("ライセンス : "), QStringLiteral("MIT"),
       InstalledDocument(docFolder, kLicenceFile), 48},
  };
  for (std::size_t i = 0; i < links_.size(); ++i) {
    const auto& row = rows[i];
    if (row.id == kReadmeLinkId && row.target.isEmpty()) {
      continue;
    }
    QLabel* caption = AddStatic(this, tr(row.caption), du.rect(110, row.top, 56, 8));
    caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QLabel* value = AddStatic(this, row.text, du.rect(168, row.top, 76, 8));
    SetControlId(value, row.id);
    value->resize(value->width(), std::max(value->height(), value->sizeHint().height()));
    caption->resize(caption->width(), value->height());
    if (!row.target.isEmpty()) {
      value->setFont(linkFont);
      value->resize(value->width(), std::max(value->height(), value->sizeHint().height()));
      SetLinkColor(value, false);
      links_[i] = Link{value, row.target};
    }
  }

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setGeometry(du.rect(216, 72, 50, 14));
  ok->setDefault(true);
  SetControlId(ok, 1);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
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
