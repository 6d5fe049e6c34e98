#pragma once

#include <QDeadlineTimer>
#include <QProcessEnvironment>
#include <filesystem>

#include "picture/failure.h"

namespace lunetta {

/// True inside a Flatpak sandbox, where only the desktop portal can set the wallpaper.
bool RunsSandboxed();

/// Sets `picture` as the background of every screen through the XDG desktop portal
/// (org.freedesktop.portal.Wallpaper.SetWallpaperFile on the session bus of `environment`), the
/// file handed over open, without a preview, and waits until `deadline` for the portal's answer.
/// DesktopNotSupported when no bus or no portal answers; ToolFailed naming xdg-desktop-portal when
/// it refuses; ToolTimedOut when it does not answer in time.
Status SetThroughPortal(const std::filesystem::path& picture,
                        const QProcessEnvironment& environment, QDeadlineTimer deadline);

}  // namespace lunetta
