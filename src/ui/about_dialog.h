#pragma once

#include <QCursor>
#include <QDialog>
#include <QUrl>
#include <array>
#include <functional>

class QLabel;

namespace lunetta {

/// Where the installed program's documentation is: share/doc/lunetta under the prefix the program
/// runs from (the folder above its bin folder).
QString InstalledDocFolder();

/// The version dialog: logo, the program's name and version, its licence, and links to the
/// installed read-me and licence text, which turn orange under the pointer and open through the
/// desktop when clicked. A document that is not installed (a run from the build tree) gets no link.
class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kReadmeLinkId = 1022;
  static constexpr int kLicenceLinkId = 1023;

  /// The documents the links open, in `docFolder`.
  static constexpr char kReadmeFile[] = "README.md";
  static constexpr char kLicenceFile[] = "copyright";

  /// Navy, and orange while the pointer is over the link.
  static constexpr QRgb kLinkColor = 0x000080;
  static constexpr QRgb kHotLinkColor = 0xFF8000;

  using UrlOpener = std::function<bool(const QUrl&)>;

  explicit AboutDialog(QWidget* parent = nullptr, const QString& docFolder = InstalledDocFolder());

  /// Replaces the desktop's URL handling (QDesktopServices::openUrl), so tests can watch requests.
  void setUrlOpener(UrlOpener opener) { openUrl_ = std::move(opener); }

 protected:
  void showEvent(QShowEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  struct Link {
    QLabel* label = nullptr;
    QUrl target;  // empty: the document is not installed, and the text is no link
    bool pressed = false;
    bool hot = false;
  };

  bool over(const Link& link, QPoint point) const;
  void setPointer(QPoint point);
  void setHot(Link& link, bool value);
  void openLink(Link& link);

  QCursor handCursor_;
  std::array<Link, 2> links_;  // the read-me, the licence
  UrlOpener openUrl_;
};

}  // namespace lunetta
