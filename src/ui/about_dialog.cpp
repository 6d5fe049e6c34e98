#include "ui/about_dialog.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QLabel>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QPushButton>
#include <algorithm>

#include "platform/dialog_units.h"
#include "platform/drawing.h"
#include "platform/screen_placement.h"
#include "res/artwork.h"

namespace lunetta {

const QString AboutDialog::kWebAddress = QStringLiteral("https://lunetta.example.com");
const QString AboutDialog::kMailAddress = QStringLiteral("support@lunetta.example.com");

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

}  // namespace

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      handCursor_(HandCursor()),
      openUrl_([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {
  setWindowTitle(tr("Tavigoのﾊﾞｰｼﾞｮﾝ情報"));
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

  AddStatic(this, QStringLiteral("Lunetta Version 1.10"), du.rect(115, 7, 105, 8));
  AddStatic(this, QStringLiteral("URL : "), du.rect(144, 36, 19, 8));
  AddStatic(this, QStringLiteral("Mail : "), du.rect(144, 48, 19, 8));

  QFont linkFont = CreateFont(QStringLiteral("ＭＳ Ｐゴシック"), 12, 400, false);
  linkFont.setUnderline(true);
  const auto addLink = [&](int id, const QString& text, const QRect& place) {
    QLabel* link = AddStatic(this, text, place);
    link->setFont(linkFont);
    // The addresses are longer than the template's statics; widen them so they are not cut off.
    const int textWidth = QFontMetrics(linkFont).horizontalAdvance(text) + 2;
    link->resize(std::max(place.width(), textWidth),
                 std::max(place.height(), link->sizeHint().height()));
    SetControlId(link, id);
    SetLinkColor(link, false);
    return link;
  };
  webLink_ = addLink(kWebLinkId, kWebAddress, du.rect(168, 36, 76, 8));
  mailLink_ = addLink(kMailLinkId, kMailAddress, du.rect(168, 48, 68, 8));

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

bool AboutDialog::overWebLink(QPoint point) const {
  return webLink_->geometry().contains(point);
}

bool AboutDialog::overMailLink(QPoint point) const {
  return mailLink_->geometry().contains(point);
}

void AboutDialog::setPointer(QPoint point) {
  if (overWebLink(point) || overMailLink(point)) {
    setCursor(handCursor_);
  } else {
    setCursor(Qt::ArrowCursor);
  }
}

void AboutDialog::setHot(QLabel* link, bool& hot, bool value) {
  if (hot == value) {
    return;
  }
  hot = value;
  SetLinkColor(link, hot);
}

void AboutDialog::mouseMoveEvent(QMouseEvent* event) {
  const QPoint point = event->position().toPoint();
  setPointer(point);
  setHot(webLink_, webLinkHot_, overWebLink(point));
  setHot(mailLink_, mailLinkHot_, overMailLink(point));
  QDialog::mouseMoveEvent(event);
}

void AboutDialog::leaveEvent(QEvent* event) {
  // Leaving the dialog straight from a link must not leave it orange.
  setHot(webLink_, webLinkHot_, false);
  setHot(mailLink_, mailLinkHot_, false);
  QDialog::leaveEvent(event);
}

void AboutDialog::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    const QPoint point = event->position().toPoint();
    setPointer(point);
    webLinkPressed_ = overWebLink(point);
    mailLinkPressed_ = overMailLink(point);
  }
  QDialog::mousePressEvent(event);
}

void AboutDialog::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    const QPoint point = event->position().toPoint();
    if (webLinkPressed_) {
      if (overWebLink(point)) {
        openLink(webLink_, webLinkHot_, QUrl(kWebAddress + QLatin1Char('/')));
      }
      webLinkPressed_ = false;
    } else if (mailLinkPressed_) {
      if (overMailLink(point)) {
        openLink(mailLink_, mailLinkHot_, QUrl(QStringLiteral("mailto:") + kMailAddress));
      }
      mailLinkPressed_ = false;
    }
  }
  QDialog::mouseReleaseEvent(event);
}

void AboutDialog::openLink(QLabel* link, bool& hot, const QUrl& target) {
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  // The desktop tells the user itself when nothing handles the address.
  if (!openUrl_(target)) {
    qCWarning(lcAbout) << "the desktop could not open" << target.toString();
  }
  QGuiApplication::restoreOverrideCursor();
  setHot(link, hot, false);
  setCursor(Qt::ArrowCursor);
}

}  // namespace lunetta
