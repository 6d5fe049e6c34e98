cmake_minimum_required(VERSION 3.25)
# Installs the build into a scratch prefix and checks that the desktop entry runs the installed
# Lunetta without a working folder of its own (Lunetta finds the installed holiday.dat itself).
#   cmake -DBUILD=<build dir> -DPREFIX=<scratch prefix> -P desktop_entry_check.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(entry "${PREFIX}/share/applications/lunetta.desktop")
file(STRINGS "${entry}" lines)
foreach(expected "Exec=${PREFIX}/bin/lunetta" "Icon=lunetta" "Type=Application")
  if(NOT expected IN_LIST lines)
    message(FATAL_ERROR "${entry} lacks the line '${expected}'")
  endif()
endforeach()
list(FILTER lines INCLUDE REGEX "^Path=")
if(lines)
  message(FATAL_ERROR "${entry} sets a working folder: ${lines}")
endif()
foreach(file bin/lunetta bin/lunetta-compose share/lunetta/holiday.dat
             share/icons/hicolor/scalable/apps/lunetta.svg
             share/metainfo/io.github.lunetta_developers.lunetta.metainfo.xml share/man/man1/lunetta.1.gz)
  if(NOT EXISTS "${PREFIX}/${file}")
    message(FATAL_ERROR "${file} is not installed")
  endif()
endforeach()
