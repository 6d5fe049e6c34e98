# lunetta_wall: the printed wall calendar: its pages' layout, their painting and the PDF a print
# shop takes, with its page boxes set through qpdf. No widgets.
find_package(PkgConfig REQUIRED)
pkg_check_modules(QPDF REQUIRED IMPORTED_TARGET libqpdf)

# qpdf 11.3's headers do not compile as C++20 under clang (JSON.hh destroys a vector of its own
# incomplete class), so the one file that includes them is built as C++17, with plain types at its
# edge. Its headers ask which pointer type the API hands out: std::shared_ptr.
add_library(lunetta_wall_qpdf OBJECT wall/pdf_rewrite.cpp)
set_target_properties(lunetta_wall_qpdf PROPERTIES CXX_STANDARD 17)
target_compile_definitions(lunetta_wall_qpdf PRIVATE POINTERHOLDER_TRANSITION=4)
target_include_directories(lunetta_wall_qpdf PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(lunetta_wall_qpdf PRIVATE PkgConfig::QPDF)

add_library(lunetta_wall STATIC
  wall/wall_layout.cpp
  wall/wall_painter.cpp
  wall/print_photo.cpp
  wall/pdf_assembly.cpp
  wall/wall_pdf.cpp
  $<TARGET_OBJECTS:lunetta_wall_qpdf>
)
target_link_libraries(lunetta_wall PUBLIC lunetta_picture PRIVATE PkgConfig::QPDF JPEG::JPEG)
