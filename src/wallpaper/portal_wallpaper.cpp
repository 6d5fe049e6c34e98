#include "wallpaper/portal_wallpaper.h"

#include <fcntl.h>

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QEventLoop>
#include <QFileInfo>
#include <QObject>
#include <QRandomGenerator>
#include <QTimer>
#include <QVariantMap>
#include <optional>

#include "picture/load_picture_file.h"
#include "platform/file_io.h"

namespace lunetta {

namespace {

const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");

Failure PortalFailure(Fault fault, QString detail = {}) {
  return Failure(fault, "xdg-desktop-portal", {}, std::move(detail));
}

// The session bus `environment` names: its address, else the user's bus in the runtime folder.
QString BusAddress(const QProcessEnvironment& environment) {
  const QString address = environment.value(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
  if (!address.isEmpty()) {
    return address;
  }
  const QString runtime = environment.value(QStringLiteral("XDG_RUNTIME_DIR"));
  if (!runtime.isEmpty() && QFileInfo(runtime + QStringLiteral("/bus")).exists()) {
    return QStringLiteral("unix:path=") + runtime + QStringLiteral("/bus");
  }
  return {};
}

// A connection of this call's own, closed when it ends, so that no other bus is ever used.
class PrivateBus {
 public:
  explicit PrivateBus(const QString& address)
      : name_(QStringLiteral("lunetta-portal-%1").arg(QRandomGenerator::global()->generate())),
        bus_(QDBusConnection::connectToBus(address, name_)) {}
  ~PrivateBus() { QDBusConnection::disconnectFromBus(name_); }
  PrivateBus(const PrivateBus&) = delete;
  PrivateBus& operator=(const PrivateBus&) = delete;

  QDBusConnection& bus() { return bus_; }

 private:
  QString name_;
  QDBusConnection bus_;
};

}  // namespace

// The portal's answer comes as a signal on a request object of its own.
class PortalResponse : public QObject {
  Q_OBJECT

 public:
  std::optional<uint> code;
  QEventLoop loop;

 public Q_SLOTS:
  void Response(uint response, const QVariantMap&) {
    code = response;
    loop.quit();
  }
};

bool RunsSandboxed() {
  return QFileInfo::exists(QStringLiteral("/.flatpak-info"));
}

Status SetThroughPortal(const std::filesystem::path& picture,
                        const QProcessEnvironment& environment, QDeadlineTimer deadline) {
  const Failure unanswered(Fault::DesktopNotSupported, picture);
  const QString address = BusAddress(environment);
  if (address.isEmpty()) {
    return unanswered;
  }
  PrivateBus connection(address);
  QDBusConnection& bus = connection.bus();
  if (!bus.isConnected() ||
      !(bus.connectionCapabilities() & QDBusConnection::UnixFileDescriptorPassing)) {
    return unanswered;
  }
  std::error_code error;
  const UniqueFd file = OpenRegularFile(picture, error);
  if (!file) {
    return ReadingFailure(picture, error);
  }

  // The request object's path is known before the call, so its answer cannot slip past.
  const QString token = QStringLiteral("lunetta%1").arg(QRandomGenerator::global()->generate());
  const QString sender = bus.baseService().mid(1).replace(u'.', u'_');
  const QString request =
      kPortalPath + QStringLiteral("/request/") + sender + QStringLiteral("/") + token;
  PortalResponse response;
  const auto listen = [&](const QString& path) {
    return bus.connect(QString(), path, QStringLiteral("org.freedesktop.portal.Request"),
                       QStringLiteral("Response"), &response, SLOT(Response(uint, QVariantMap)));
  };
  listen(request);

  QDBusMessage call = QDBusMessage::createMethodCall(
      kPortalService, kPortalPath, QStringLiteral("org.freedesktop.portal.Wallpaper"),
      QStringLiteral("SetWallpaperFile"));
  const QVariantMap options{{QStringLiteral("show-preview"), false},
                            {QStringLiteral("set-on"), QStringLiteral("background")},
                            {QStringLiteral("handle_token"), token}};
  call << QString() << QVariant::fromValue(QDBusUnixFileDescriptor(file.get())) << options;
  const QDBusMessage reply =
      bus.call(call, QDBus::Block, static_cast<int>(std::max<qint64>(1, deadline.remainingTime())));
  if (reply.type() == QDBusMessage::ErrorMessage) {
    const QDBusError::ErrorType kind = QDBusError(reply).type();
    if (kind == QDBusError::ServiceUnknown || kind == QDBusError::UnknownInterface ||
        kind == QDBusError::UnknownMethod || kind == QDBusError::UnknownObject) {
      return unanswered;
    }
    if (kind == QDBusError::NoReply || kind == QDBusError::Timeout) {
      return PortalFailure(Fault::ToolTimedOut);
    }
    return PortalFailure(Fault::ToolFailed, reply.errorMessage());
  }
  // An older portal names a request object of its own choosing.
  const QString handle = reply.arguments().value(0).value<QDBusObjectPath>().path();
  if (!handle.isEmpty() && handle != request) {
    listen(handle);
  }
  if (!response.code) {
    QTimer::singleShot(std::max<qint64>(0, deadline.remainingTime()), &response.loop,
                       &QEventLoop::quit);
    // The window waits too: no click may start another setting meanwhile.
    response.loop.exec(QEventLoop::ExcludeUserInputEvents);
  }
  if (!response.code) {
    return PortalFailure(Fault::ToolTimedOut);
  }
  if (*response.code != 0) {
    return PortalFailure(Fault::ToolFailed,
                         *response.code == 1 ? QStringLiteral("cancelled")
                                             : QStringLiteral("response %1").arg(*response.code));
  }
  return {};
}

}  // namespace lunetta

#include "portal_wallpaper.moc"
