# lunetta_wallpaper: the desktops' wallpaper setters and the renewal's unit files, below the
# session: they take picture files, the screens and a desktop. No widgets: it runs the desktops'
# own programs.
add_library(lunetta_wallpaper STATIC
  wallpaper/compositor_wallpaper.cpp
  wallpaper/desktop.cpp
  wallpaper/desktop_wallpaper.cpp
  wallpaper/external_tool.cpp
  wallpaper/monthly_refresh.cpp
  wallpaper/portal_wallpaper.cpp
  wallpaper/screens.cpp
  wallpaper/wallpaper.cpp
)
# QtDBus for the desktop portal, the one way out of a sandbox; no other layer speaks D-Bus.
target_link_libraries(lunetta_wallpaper PUBLIC lunetta_picture PRIVATE Qt6::DBus)
