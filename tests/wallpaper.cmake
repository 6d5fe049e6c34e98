# The desktop wallpaper and its renewal: real gsettings, systemd-analyze, gio and a private D-Bus
# (the portal) where the machine has them, stand-ins on PATH for the other desktops' programs.
lunetta_add_test(wallpaper_wallpaper
                 SOURCES wallpaper/wallpaper_test.cpp wallpaper/monthly_refresh_test.cpp
                         wallpaper/portal_wallpaper_test.cpp
                 LIBS lunetta_wallpaper Qt6::DBus GUI)
