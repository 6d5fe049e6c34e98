# lunetta_picture: the drawing seam, the block renderer and composition, picture files. QtGui only.
add_library(lunetta_picture STATIC
  platform/drawing.cpp
  platform/font_substitutes.cpp
  calendar/calendar_renderer.cpp
  calendar/composition.cpp
  picture/load_picture_file.cpp
  picture/jpeg_decoder.cpp
  picture/jpeg_encoder.cpp
  picture/jpeg_errors.h
  picture/area_scaler.cpp
  picture/atomic_file_device.h
  picture/picture_painter.cpp
  picture/page_placement.cpp
  picture/picture.cpp
  picture/failure.cpp
)
find_package(JPEG REQUIRED)
find_package(TIFF REQUIRED)
target_link_libraries(lunetta_picture PUBLIC lunetta_core Qt6::Gui PRIVATE JPEG::JPEG TIFF::TIFF)

