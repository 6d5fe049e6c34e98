# lunetta_icalendar: iCalendar files (.ics) as marked days, read through libical; no Qt.
find_package(PkgConfig REQUIRED)
pkg_check_modules(LIBICAL REQUIRED IMPORTED_TARGET libical)

add_library(lunetta_icalendar STATIC
  icalendar/content_lines.cpp
  icalendar/icalendar.cpp
)
target_include_directories(lunetta_icalendar PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(lunetta_icalendar PUBLIC lunetta_core PRIVATE PkgConfig::LIBICAL)
