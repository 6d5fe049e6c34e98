#include "ui/about_dialog.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>

#include "platform/dialog_units.h"

namespace lunetta {
namespace {

class AboutDialogTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { InstallFontSubstitutions(); }

  void SetUp() override {
    dialog_.setUrlOpener([this](const QUrl& url) {
      opened_ << url.toString();
      return true;
    });
    dialog_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog_));
    web_ = FindControl<QLabel>(&dialog_, AboutDialog::kWebLinkId);
    mail_ = FindControl<QLabel>(&dialog_, AboutDialog::kMailLinkId);
    ASSERT_NE(web_, nullptr);
    ASSERT_NE(mail_, nullptr);
  }

  static QRgb TextColor(const QLabel* link) {
    return link->palette().color(QPalette::WindowText).rgb() & 0xFFFFFF;
  }

  static QPoint Inside(const QLabel* link) { return link->geometry().center(); }
  QPoint Outside() const { return QPoint(5, dialog_.height() - 5); }

  void Move(QPoint p) {
    QMouseEvent move(QEvent::MouseMove, p, dialog_.mapToGlobal(p), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&dialog_, &move);
  }

  AboutDialog dialog_;
  QLabel* web_ = nullptr;
  QLabel* mail_ = nullptr;
  QStringList opened_;
};

TEST_F(AboutDialogTest, AddressesAreShownWhole) {
  for (const QLabel* link : {web_, mail_}) {
    EXPECT_GE(link->width(), link->fontMetrics().horizontalAdvance(link->text()));
    EXPECT_LE(link->geometry().right(), dialog_.width());
  }
}

TEST_F(AboutDialogTest, LinksTurnOrangeUnderThePointerWithTheHand) {
  EXPECT_EQ(TextColor(web_), 0x000080u);
  EXPECT_EQ(TextColor(mail_), 0x000080u);

  Move(Inside(web_));
  EXPECT_TRUE(dialog_.webLinkHot());
  EXPECT_EQ(TextColor(web_), 0xFF8000u);
  EXPECT_EQ(TextColor(mail_), 0x000080u);
  EXPECT_EQ(dialog_.cursor().shape(), Qt::BitmapCursor);
  EXPECT_EQ(dialog_.cursor().hotSpot(), QPoint(6, 3));

  Move(Inside(mail_));
  EXPECT_EQ(TextColor(web_), 0x000080u);
  EXPECT_EQ(TextColor(mail_), 0xFF8000u);

  Move(Outside());
  EXPECT_EQ(TextColor(mail_), 0x000080u);
  EXPECT_EQ(dialog_.cursor().shape(), Qt::ArrowCursor);

  // Leaving the dialog straight from a link.
  Move(Inside(web_));
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(&dialog_, &leave);
  EXPECT_FALSE(dialog_.webLinkHot());
  EXPECT_EQ(TextColor(web_), 0x000080u);
}

struct ClickCase {
  const char* name;
  int pressOn;   // 0: off both links, else the link's identifier
  int detourTo;  // where the pointer goes between press and release; -1: nowhere
  int releaseOn;
  const char* opened;  // nullptr: nothing
};

class AboutDialogClickTest : public AboutDialogTest, public testing::WithParamInterface<ClickCase> {
 protected:
  QPoint At(int id) const {
    if (id == AboutDialog::kWebLinkId) {
      return Inside(web_);
    }
    if (id == AboutDialog::kMailLinkId) {
      return Inside(mail_);
    }
    return Outside();
  }
};

TEST_P(AboutDialogClickTest, OpensOnlyOnAReleaseOverThePressedLink) {
  const ClickCase& c = GetParam();
  Move(At(c.pressOn));
  QTest::mousePress(&dialog_, Qt::LeftButton, Qt::NoModifier, At(c.pressOn));
  if (c.detourTo >= 0) {
    Move(At(c.detourTo));
  }
  Move(At(c.releaseOn));
  QTest::mouseRelease(&dialog_, Qt::LeftButton, Qt::NoModifier, At(c.releaseOn));

  if (c.opened == nullptr) {
    EXPECT_TRUE(opened_.isEmpty()) << opened_.join(' ').toStdString();
  } else {
    EXPECT_EQ(opened_, QStringList{QString::fromUtf8(c.opened)});
    // Drawn navy again at once, although the pointer is still over it.
    EXPECT_EQ(TextColor(c.releaseOn == AboutDialog::kWebLinkId ? web_ : mail_), 0x000080u);
  }
  EXPECT_FALSE(dialog_.webLinkPressed());
  EXPECT_FALSE(dialog_.mailLinkPressed());
}

INSTANTIATE_TEST_SUITE_P(
    Links, AboutDialogClickTest,
    testing::Values(
        ClickCase{"web", AboutDialog::kWebLinkId, -1, AboutDialog::kWebLinkId,
                  "https://lunetta.example.com/"},
        ClickCase{"mail", AboutDialog::kMailLinkId, -1, AboutDialog::kMailLinkId,
                  "mailto:support@lunetta.example.com"},
        ClickCase{"web_off_and_back", AboutDialog::kWebLinkId, 0, AboutDialog::kWebLinkId,
                  "https://lunetta.example.com/"},
        ClickCase{"web_to_mail", AboutDialog::kWebLinkId, -1, AboutDialog::kMailLinkId, nullptr},
        ClickCase{"mail_to_web", AboutDialog::kMailLinkId, -1, AboutDialog::kWebLinkId, nullptr},
        ClickCase{"web_to_nowhere", AboutDialog::kWebLinkId, -1, 0, nullptr},
        ClickCase{"nowhere_to_web", 0, -1, AboutDialog::kWebLinkId, nullptr}),
    [](const testing::TestParamInfo<ClickCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lunetta
