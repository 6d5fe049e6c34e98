lunetta_add_test(ui_control_table SOURCES ui/control_table_test.cpp LIBS lunetta_ui GUI)
lunetta_add_test(ui_preview_geometry SOURCES ui/preview_geometry_test.cpp LIBS lunetta_ui)
lunetta_add_test(ui_main_dialog SOURCES ui/main_dialog_test.cpp LIBS lunetta_ui GUI)
add_dependencies(ui_main_dialog lunetta-compose)  # the monthly renewal runs it
lunetta_add_test(ui_about_dialog SOURCES ui/about_dialog_test.cpp LIBS lunetta_ui GUI)
lunetta_add_test(ui_title_dialog SOURCES app/title_dialog_test.cpp LIBS lunetta_ui GUI)
# Two monitors side by side, the second at x = 1920: windows centre on the one they are on.
foreach(test ui_about_dialog ui_title_dialog)
  set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen:configfile=${PROJECT_SOURCE_DIR}/tests/support/two_screens.json")
endforeach()

# CalendarApp is the QApplication itself, so this test builds its own instead of the GUI main.
lunetta_add_test(ui_calendar_app SOURCES app/calendar_app_test.cpp LIBS lunetta_ui)
set_property(TEST ui_calendar_app APPEND PROPERTY ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
set_property(TEST ui_calendar_app PROPERTY LABELS gui)

add_test(NAME ui_desktop_entry
         COMMAND ${CMAKE_COMMAND} -DBUILD=${PROJECT_BINARY_DIR}
                 -DPREFIX=${CMAKE_CURRENT_BINARY_DIR}/work/ui_desktop_entry/prefix
                 -P ${CMAKE_CURRENT_SOURCE_DIR}/ui/desktop_entry_check.cmake)

# The Debian package, built with CPack from this build tree; skipped where dpkg-deb is missing.
add_test(NAME package_deb
         COMMAND ${PROJECT_SOURCE_DIR}/tests/packaging/package_test.sh ${PROJECT_BINARY_DIR}
                 ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR}/work/package_deb)
set_tests_properties(package_deb PROPERTIES LABELS package SKIP_RETURN_CODE 77 TIMEOUT 600
                     RESOURCE_LOCK install_tree)
set_tests_properties(ui_desktop_entry PROPERTIES RESOURCE_LOCK install_tree)
