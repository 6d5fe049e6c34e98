#include "ui/about_dialog.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include "picture/picture_files.h"
#include "render/font_substitutes.h"
#include "support/picture_printers.h"
#include "ui/dialog_units.h"
#include "ui/screen_placement.h"

namespace lunetta {
namespace {

constexpr int kReadme = AboutDialog::kReadmeLinkId;
constexpr int kLicence = AboutDialog::kLicenceLinkId;

// Shown on the second monitor, which lies to the right of the first so that its origin is not 0,
// the dialog is centred on that one.
TEST(AboutDialog, LinksBehaveAsLinksDo) {
  InstallFontSubstitutes();
  QTemporaryDir docs;
  for (const char* name : {AboutDialog::kReadmeFile, AboutDialog::kLicenceFile}) {
    ASSERT_TRUE(testing::WriteBytes(docs.filePath(name), "text"));
  }
  AboutDialog dialog(nullptr, docs.path());
  QStringList opened;
  dialog.setUrlOpener([&](const QUrl& url) {
    opened << url.toString();
    return true;
  });
  const QList<QScreen*> screens = QGuiApplication::screens();
  ASSERT_EQ(screens.size(), 2) << "the test platform gives two screens side by side";
  dialog.move(screens[1]->geometry().topLeft() + QPoint(10, 10));
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  EXPECT_EQ(dialog.frameGeometry().topLeft(),
            CentredOn(screens[1]->geometry(), dialog.frameGeometry().size()));
  // 'R' the read-me link, 'L' the licence link, '-' a place off both.
  const auto at = [&](char place) {
    return place == '-'
               ? QPoint(5, dialog.height() - 5)
               : FindControl(&dialog, place == 'R' ? kReadme : kLicence)->geometry().center();
  };
  // The links' text colours, read-me first: navy #000080, orange #ff8000.
  const auto colors = [&] {
    return FindControl(&dialog, kReadme)->palette().color(QPalette::WindowText).name() + ' ' +
           FindControl(&dialog, kLicence)->palette().color(QPalette::WindowText).name();
  };
  // The logo, at the top left, is drawn in colour.
  EXPECT_FALSE(dialog.grab(QRect(0, 0, 100, 40)).toImage().isGrayscale());

  const char* hovered[] = {"#ff8000 #000080", "#000080 #ff8000", "#000080 #000080"};
  for (int i = 0; i < 3; ++i) {
    QTest::mouseMove(&dialog, at("RL-"[i]));
    EXPECT_EQ(colors(), hovered[i]);
    EXPECT_EQ(dialog.cursor().shape(), i < 2 ? Qt::BitmapCursor : Qt::ArrowCursor);
  }
  QTest::mouseMove(&dialog, at('R'));
  QEvent leave(QEvent::Leave);  // leaving the dialog straight from a link
  QApplication::sendEvent(&dialog, &leave);
  EXPECT_EQ(colors(), "#000080 #000080");

  // Where the pointer is pressed, passes and is released, and what that opens.
  const char* paths[] = {"RRR", "LLL", "R-R", "RRL", "RR-", "--R"};
  const QString readme = QUrl::fromLocalFile(docs.filePath("README.md")).toString();
  const QString licence = QUrl::fromLocalFile(docs.filePath("copyright")).toString();
  const QString opens[] = {readme, licence, readme, "", "", ""};
  for (int i = 0; i < 6; ++i) {
    opened.clear();
    QTest::mouseMove(&dialog, at(paths[i][0]));
    QTest::mousePress(&dialog, Qt::LeftButton, Qt::NoModifier, at(paths[i][0]));
    QTest::mouseMove(&dialog, at(paths[i][1]));
    QTest::mouseMove(&dialog, at(paths[i][2]));
    QTest::mouseRelease(&dialog, Qt::LeftButton, Qt::NoModifier, at(paths[i][2]));
    EXPECT_EQ(opened.join(' '), opens[i]) << paths[i];
    // An opened link turns navy at once, although the pointer is still over it.
    EXPECT_TRUE(opens[i].isEmpty() || colors() == "#000080 #000080");
  }
}

// Run from the build tree nothing is installed: no read-me row, and the licence is plain text.
TEST(AboutDialog, ShowsNoLinkToADocumentThatIsNotInstalled) {
  const QTemporaryDir empty;
  const AboutDialog dialog(nullptr, empty.path());
  EXPECT_EQ(FindControl(&dialog, kReadme), nullptr);
  const auto* licence = FindControl<QLabel>(&dialog, kLicence);
  ASSERT_NE(licence, nullptr);
  EXPECT_EQ(licence->text(), "MIT");
  EXPECT_FALSE(licence->font().underline());
}

}  // namespace
}  // namespace lunetta
