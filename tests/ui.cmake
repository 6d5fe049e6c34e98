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

# CalendarApp is the QApplication itself, so this test builds its own instead of the GUI main. It
# runs once in the C locale and once, as ui_calendar_app_en, in an English one; empty locale
# variables count as unset, so the caller's own locale does not leak in.
lunetta_add_test(ui_calendar_app SOURCES app/calendar_app_test.cpp LIBS lunetta_ui
                 ARGS --gtest_filter=-*English*)
set_property(TEST ui_calendar_app APPEND PROPERTY ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
             LC_ALL= LC_MESSAGES= LANGUAGE= LANG=C)
set(english_work ${CMAKE_CURRENT_BINARY_DIR}/work/ui_calendar_app_en)
file(MAKE_DIRECTORY ${english_work}/config ${english_work}/tmp)
add_test(NAME ui_calendar_app_en COMMAND ui_calendar_app --gtest_filter=*English*)
set_tests_properties(ui_calendar_app_en PROPERTIES LABELS gui TIMEOUT 300 ENVIRONMENT
  "XDG_CONFIG_HOME=${english_work}/config;TMPDIR=${english_work}/tmp;TZ=Asia/Tokyo;QT_QPA_PLATFORM=offscreen;LC_ALL=;LC_MESSAGES=;LANGUAGE=;LANG=en_US.UTF-8")
set_property(TEST ui_calendar_app PROPERTY LABELS gui)

# Every text the sources mark for translation has its English in translations/lunetta_en.ts, and
# the file holds nothing the sources no longer say.
add_test(NAME ui_translations_complete
         COMMAND ${CMAKE_COMMAND} -DLUPDATE=$<TARGET_FILE:Qt6::lupdate>
                 -DPROJECT=${PROJECT_BINARY_DIR}/src/.lupdate/lunetta_ui_project.cmake
                 -DMAKE_PROJECT=${Qt6LinguistTools_DIR}/GenerateLUpdateProject.cmake
                 -DTS=${PROJECT_SOURCE_DIR}/translations/lunetta_en.ts
                 -DWORK=${CMAKE_CURRENT_BINARY_DIR}/work/ui_translations_complete
                 -P ${CMAKE_CURRENT_SOURCE_DIR}/ui/translations_check.cmake)

add_test(NAME ui_desktop_entry
         COMMAND ${CMAKE_COMMAND} -DBUILD=${PROJECT_BINARY_DIR}
                 -DPREFIX=${CMAKE_CURRENT_BINARY_DIR}/work/ui_desktop_entry/prefix
                 -P ${CMAKE_CURRENT_SOURCE_DIR}/ui/desktop_entry_check.cmake)

# The Debian package, built with CPack from this build tree; skipped where dpkg-deb is missing.
add_test(NAME package_deb
         COMMAND ${PROJECT_SOURCE_DIR}/tests/packaging/package_test.sh ${PROJECT_BINARY_DIR}
                 ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR}/work/package_deb)
set_tests_properties(package_deb PROPERTIES LABELS package SKIP_RETURN_CODE 77 TIMEOUT 600
                     RESOURCE_LOCK install_tree FIXTURES_SETUP deb)
# Debian's own checker finds no error and no warning in that package.
add_test(NAME package_lintian
         COMMAND sh -c "command -v lintian >/dev/null || exit 77
                        exec lintian --fail-on error,warning \"$0\"/lunetta_*.deb"
                 ${CMAKE_CURRENT_BINARY_DIR}/work/package_deb)
set_tests_properties(package_lintian PROPERTIES LABELS package SKIP_RETURN_CODE 77 TIMEOUT 300
                     FIXTURES_REQUIRED deb)
set_tests_properties(ui_desktop_entry PROPERTIES RESOURCE_LOCK install_tree)
