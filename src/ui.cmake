# lunetta_ui: dialogs, output and the start-up; the desktop program is a thin main() over it.
add_library(lunetta_ui STATIC
  platform/dialog_units.cpp
  ui/failure_messages.cpp
  platform/control_table.h
  platform/control_table.cpp
  platform/screen_placement.h
  platform/screen_placement.cpp
)
target_link_libraries(lunetta_ui PUBLIC lunetta_session Qt6::Widgets Qt6::PrintSupport)
include(ui_main.cmake)
include(ui_settings.cmake)
include(ui_output.cmake)
