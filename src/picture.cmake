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

add_executable(lunetta-compose app/compose_main.cpp)
target_link_libraries(lunetta-compose PRIVATE lunetta_picture)
install(TARGETS lunetta-compose RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
