#pragma once

#include <QCursor>
#include <QDialog>
#include <QUrl>
#include <functional>

class QLabel;

namespace lunetta {

/// The version dialog: logo, product name and version, and two links (web site and support mail)
/// that turn orange under the pointer and open through the desktop when clicked.
class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kWebLinkId = 1022;
  static constexpr int kMailLinkId = 1023;

  static const QString kWebAddress;
  static const QString kMailAddress;

  /// Navy, and orange while the pointer is over the link.
  static constexpr QRgb kLinkColor = 0x000080;
  static constexpr QRgb kHotLinkColor = 0xFF8000;

  using UrlOpener = std::function<bool(const QUrl&)>;

  explicit AboutDialog(QWidget* parent = nullptr);

  /// Replaces the desktop's URL handling (QDesktopServices::openUrl), so tests can watch requests.
  void setUrlOpener(UrlOpener opener) { openUrl_ = std::move(opener); }

  bool webLinkHot() const { return webLinkHot_; }
  bool mailLinkHot() const { return mailLinkHot_; }
  bool webLinkPressed() const { return webLinkPressed_; }
  bool mailLinkPressed() const { return mailLinkPressed_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  bool overWebLink(QPoint point) const;
  bool overMailLink(QPoint point) const;
  void setPointer(QPoint point);
  void setHot(QLabel* link, bool& hot, bool value);
  void openLink(QLabel* link, bool& hot, const QUrl& target);

  QCursor handCursor_;
  QLabel* webLink_ = nullptr;
  QLabel* mailLink_ = nullptr;
  bool webLinkPressed_ = false;
  bool mailLinkPressed_ = false;
  bool webLinkHot_ = false;
  bool mailLinkHot_ = false;
  UrlOpener openUrl_;
};

}  // namespace lunetta
