# The desktop wallpaper and its monthly renewal: real gsettings, systemd-analyze and gio where the
# machine has them, stand-ins on PATH for the other desktops' programs.
lunetta_add_test(wallpaper_wallpaper
                 SOURCES wallpaper/wallpaper_test.cpp wallpaper/monthly_refresh_test.cpp
                 LIBS lunetta_wallpaper GUI)
