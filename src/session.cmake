# lunetta_session: CalendarSession, the state and every sequence both programs drive (compose, save,
# set the wallpaper, renew it). No widgets: it links the picture and wallpaper layers only.
add_library(lunetta_session STATIC
  session/calendar_session.cpp
  session/photo_backdrop.cpp
  session/renewal.cpp
  session/screen_pictures.cpp
  session/session_request.cpp
  session/session_wallpaper.cpp
  session/year_export.cpp
)
target_link_libraries(lunetta_session PUBLIC lunetta_picture lunetta_wallpaper)
