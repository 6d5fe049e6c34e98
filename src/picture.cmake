# lunetta_picture: the drawing seam, the block renderer and composition, picture files. QtGui only.
add_library(lunetta_picture STATIC
  platform/drawing.cpp
  calendar/calendar_renderer.cpp
  calendar/composition.cpp
  picture/load_picture_file.cpp
  picture/picture_painter.cpp
  picture/picture.cpp
)
target_link_libraries(lunetta_picture PUBLIC lunetta_core Qt6::Gui)

# The command line of lunetta-compose, apart so that tests can link it.
add_library(lunetta_compose_options STATIC app/compose_options.cpp)
target_link_libraries(lunetta_compose_options PUBLIC lunetta_core Qt6::Core)

add_executable(lunetta-compose app/compose_main.cpp)
target_link_libraries(lunetta-compose PRIVATE lunetta_picture lunetta_compose_options)
install(TARGETS lunetta-compose RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
