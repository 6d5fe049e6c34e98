# lunetta_wallpaper: the desktops' wallpaper setters and the renewal's unit files, below the
# session: they take a picture file and a desktop. No widgets: it runs the desktops' own programs.
add_library(lunetta_wallpaper STATIC
  wallpaper/desktop.cpp
  wallpaper/desktop_wallpaper.cpp
  wallpaper/external_tool.cpp
  wallpaper/monthly_refresh.cpp
  wallpaper/wallpaper.cpp
)
target_link_libraries(lunetta_wallpaper PUBLIC lunetta_picture)
