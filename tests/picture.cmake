# Picture files and lunetta-compose.
find_package(JPEG REQUIRED)
lunetta_add_test(picture_picture SOURCES picture/picture_test.cpp picture/library_decoders_test.cpp
  LIBS lunetta_picture JPEG::JPEG PkgConfig::HEIF GUI)
lunetta_add_test(picture_compose SOURCES app/compose_test.cpp
  LIBS lunetta_picture lunetta_compose_options GUI)
add_dependencies(picture_compose lunetta-compose)
lunetta_add_test(picture_compose_options SOURCES app/compose_options_test.cpp
  LIBS lunetta_compose_options)
