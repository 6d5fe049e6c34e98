# lunetta_wall: the printed wall calendar: its pages' layout, their painting and the PDF a print
# shop takes, with its page boxes set through qpdf. No widgets.
find_package(PkgConfig REQUIRED)
pkg_check_modules(QPDF REQUIRED IMPORTED_TARGET libqpdf)

add_library(lunetta_wall STATIC
  wall/wall_layout.cpp
  wall/wall_painter.cpp
  wall/print_photo.cpp
  wall/pdf_assembly.cpp
  wall/wall_pdf.cpp
)
target_link_libraries(lunetta_wall PUBLIC lunetta_picture PRIVATE PkgConfig::QPDF JPEG::JPEG)
# qpdf's headers ask which pointer type its API hands out; ours is std::shared_ptr.
target_compile_definitions(lunetta_wall PRIVATE POINTERHOLDER_TRANSITION=4)
