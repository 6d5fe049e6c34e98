# MainDialog, the start-up picture, the version dialog, resources and the desktop program.
target_sources(lunetta_ui PRIVATE
  ui/main_dialog.h
  ui/main_dialog.cpp
)

add_executable(lunetta WIN32 app/main.cpp)
target_link_libraries(lunetta PRIVATE lunetta_ui)
install(TARGETS lunetta RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
