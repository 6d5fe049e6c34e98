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
  picture/heif_decoder.cpp
  picture/heif_layout.cpp
  picture/decoded_rows.cpp
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
# HEIC and AVIF through libheif (with libde265, dav1d and libaom); JPEG XL where libjxl is found.
find_package(PkgConfig REQUIRED)
pkg_check_modules(HEIF REQUIRED IMPORTED_TARGET GLOBAL libheif)
pkg_check_modules(JXL IMPORTED_TARGET GLOBAL libjxl)
target_link_libraries(lunetta_picture PRIVATE PkgConfig::HEIF)
if(JXL_FOUND)
  target_sources(lunetta_picture PRIVATE picture/jxl_decoder.cpp)
  target_link_libraries(lunetta_picture PRIVATE PkgConfig::JXL)
  target_compile_definitions(lunetta_picture PUBLIC LUNETTA_JPEG_XL)
endif()

