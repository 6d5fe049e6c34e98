# lunetta_wallpaper: the desktop wallpaper and its monthly renewal, for both programs. No widgets:
# it runs the desktops' own programs.
add_library(lunetta_wallpaper STATIC
  wallpaper/desktop.cpp
  wallpaper/desktop_wallpaper.cpp
  wallpaper/external_tool.cpp
  wallpaper/monthly_refresh.cpp
  wallpaper/wallpaper.cpp
)
target_link_libraries(lunetta_wallpaper PUBLIC lunetta_session)
