# CalendarSession without a window; it draws text, hence the GUI main.
lunetta_add_test(session_calendar_session
                 SOURCES session/calendar_session_test.cpp session/renewal_test.cpp
                         session/screen_pictures_test.cpp
                 LIBS lunetta_session GUI)
