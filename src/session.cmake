# lunetta_session: CalendarSession, the state and the compose sequence both programs drive. No
# widgets: it links the picture layer only.
add_library(lunetta_session STATIC
  session/calendar_session.cpp
  session/photo_backdrop.cpp
  session/year_export.cpp
)
target_link_libraries(lunetta_session PUBLIC lunetta_picture)
