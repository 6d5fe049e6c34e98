# MainDialog, the start-up picture, the version dialog, resources and the desktop program.
target_sources(lunetta_ui PRIVATE
  ui/main_dialog.h
  ui/main_dialog.cpp
  ui/about_dialog.h
  ui/about_dialog.cpp
  ui/preview_geometry.h
  ui/preview_geometry.cpp
  app/calendar_app.h
  app/calendar_app.cpp
  app/interface_language.h
  app/interface_language.cpp
  app/title_dialog.h
  app/title_dialog.cpp
  res/artwork.h
  res/artwork.cpp
  res/lunetta.qrc
)
set_target_properties(lunetta_ui PROPERTIES AUTORCC ON)
set_property(SOURCE ui/about_dialog.cpp APPEND PROPERTY COMPILE_DEFINITIONS
             LUNETTA_VERSION="${PROJECT_VERSION}")
target_link_libraries(lunetta_ui PUBLIC Qt6::Svg)

add_executable(lunetta WIN32 app/main.cpp)
target_link_libraries(lunetta PRIVATE lunetta_ui)
install(TARGETS lunetta RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The desktop entry names the program in the prefix given at install time. It sets no folder: the
# launcher starts Lunetta in the user's home, and Lunetta finds the installed holiday.dat itself.
install(FILES ${PROJECT_SOURCE_DIR}/data/holiday.dat DESTINATION ${CMAKE_INSTALL_DATADIR}/lunetta)
install(FILES res/lunetta.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(CODE "
  set(LUNETTA_BINDIR \"${CMAKE_INSTALL_BINDIR}\")
  if(NOT IS_ABSOLUTE \"\${LUNETTA_BINDIR}\")
    set(LUNETTA_BINDIR \"\${CMAKE_INSTALL_PREFIX}/\${LUNETTA_BINDIR}\")
  endif()
  configure_file(\"${CMAKE_CURRENT_SOURCE_DIR}/res/lunetta.desktop.in\"
                 \"${CMAKE_CURRENT_BINARY_DIR}/lunetta.desktop\" @ONLY)
")
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/lunetta.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
