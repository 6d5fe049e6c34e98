# The generator of data/holiday.dat, from the holiday engine of the core. Regenerate after a change
# of the rules with
#   lunetta-holidaygen > data/holiday.dat
# the tools_holidaygen test fails while the committed file differs from the generator's output.
add_library(lunetta_holidaygen STATIC holidaygen/holiday_file.cpp)
target_include_directories(lunetta_holidaygen PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(lunetta_holidaygen PUBLIC lunetta_calendar)

add_executable(lunetta-holidaygen holidaygen/holidaygen_main.cpp)
target_link_libraries(lunetta-holidaygen PRIVATE lunetta_holidaygen)
