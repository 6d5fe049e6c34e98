#include "wallpaper/portal_wallpaper.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QFile>
#include <QMutex>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QVariantMap>

#include "picture/load_picture_file.h"
#include "picture/picture_files.h"
#include "support/picture_printers.h"
#include "wallpaper/desktop_wallpaper.h"

namespace lunetta {
namespace {

// xdg-desktop-portal's wallpaper interface as far as Lunetta uses it: it records each call and
// answers as the portal does, with a Response signal on the request object the call's token names.
class FakeWallpaperPortal : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Wallpaper")

 public:
  struct Call {
    QByteArray file;  // what the descriptor reads
    QVariantMap options;
  };

  explicit FakeWallpaperPortal(QString connection) : connection_(std::move(connection)) {}

  QList<Call> calls() {
    QMutexLocker lock(&mutex_);
    return calls_;
  }

 public Q_SLOTS:
  QDBusObjectPath SetWallpaperFile(const QString&, const QDBusUnixFileDescriptor& descriptor,
                                   const QVariantMap& options, const QDBusMessage& message) {
    QByteArray file(1 << 16, '\0');
    const ssize_t read = ::pread(descriptor.fileDescriptor(), file.data(), file.size(), 0);
    file.resize(read > 0 ? read : 0);
    {
      QMutexLocker lock(&mutex_);
      calls_.push_back({file, options});
    }
    const QString handle = "/org/freedesktop/portal/desktop/request/" +
                           message.service().mid(1).replace('.', '_') + '/' +
                           options.value("handle_token").toString();
    // The answer goes out before the reply, as a quick portal's may.
    QDBusConnection(connection_)
        .send(QDBusMessage::createSignal(handle, "org.freedesktop.portal.Request", "Response")
              << 0U << QVariantMap());
    return QDBusObjectPath(handle);
  }

 private:
  QString connection_;
  QMutex mutex_;
  QList<Call> calls_;
};

TEST(PortalWallpaperTest, TheFileGoesToThePortalOpenWithItsOptions) {
  QProcess daemon;
  daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address"});
  if (!daemon.waitForStarted() || !daemon.waitForReadyRead(5000)) {
    GTEST_SKIP() << "dbus-daemon cannot start here";
  }
  const QString address = QString::fromUtf8(daemon.readLine()).trimmed();
  QDBusConnection service = QDBusConnection::connectToBus(address, "fake-portal");
  ASSERT_TRUE(service.isConnected());
  QThread thread;  // the caller waits for the answer, so the portal answers from elsewhere
  FakeWallpaperPortal portal(service.name());
  portal.moveToThread(&thread);
  thread.start();
  ASSERT_TRUE(service.registerService("org.freedesktop.portal.Desktop"));
  ASSERT_TRUE(service.registerObject("/org/freedesktop/portal/desktop", &portal,
                                     QDBusConnection::ExportAllSlots));

  QTemporaryDir home;
  const QString picture = home.filePath("wallpaper 写真.jpg");
  ASSERT_TRUE(testing::WriteBytes(picture, "our picture"));
  QProcessEnvironment environment;
  environment.insert("DBUS_SESSION_BUS_ADDRESS", address);
  environment.insert("GSETTINGS_BACKEND", "keyfile");
  environment.insert("XDG_CONFIG_HOME", home.filePath("config"));
  environment.insert("PATH", "/usr/bin:/bin");
  const auto apply = [&](const Desktop& desktop, bool sandboxed) {
    return ApplyWallpapers(desktop, {FilePath(picture), {}}, Placement::Zoom, environment,
                           QDeadlineTimer(10000), sandboxed);
  };
  // A desktop Lunetta does not know, then GNOME in a sandbox: the portal either way, not gsettings.
  EXPECT_TRUE(Succeeded(apply({DesktopKind::Other, "Weston"}, false)));
  EXPECT_TRUE(Succeeded(apply({DesktopKind::Gnome, "GNOME"}, true)));
  const QList<FakeWallpaperPortal::Call> calls = portal.calls();
  ASSERT_EQ(calls.size(), 2);
  for (const FakeWallpaperPortal::Call& call : calls) {
    EXPECT_EQ(call.file, "our picture");
    EXPECT_EQ(call.options.value("show-preview"), QVariant(false));
    EXPECT_EQ(call.options.value("set-on"), QVariant("background"));
  }
  EXPECT_FALSE(QFile::exists(home.filePath("config/glib-2.0/settings/keyfile")));  // no gsettings

  // No portal on the bus: the desktop is one Lunetta cannot set.
  service.unregisterService("org.freedesktop.portal.Desktop");
  const Status unanswered = apply({DesktopKind::Other, "Weston"}, false);
  ASSERT_FALSE(unanswered.ok());
  EXPECT_EQ(unanswered.failure(),
            Failure(Fault::DesktopNotSupported, FilePath(picture), {}, "Weston"));

  service.unregisterObject("/org/freedesktop/portal/desktop");
  thread.quit();
  thread.wait();
  QDBusConnection::disconnectFromBus(service.name());
  daemon.terminate();
  daemon.waitForFinished();
}

}  // namespace
}  // namespace lunetta

#include "portal_wallpaper_test.moc"
