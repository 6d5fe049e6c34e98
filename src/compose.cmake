# The command line of lunetta-compose, apart so that tests can link it.
add_library(lunetta_compose_options STATIC app/compose_options.cpp)
target_link_libraries(lunetta_compose_options PUBLIC lunetta_core Qt6::Core)

add_executable(lunetta-compose app/compose_main.cpp app/compose_messages.cpp)
target_link_libraries(lunetta-compose PRIVATE lunetta_session lunetta_compose_options)
install(TARGETS lunetta-compose RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
