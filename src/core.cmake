# lunetta_core: the calendar model, the holiday table and the settings store; standard library only.
add_library(lunetta_core STATIC
  calendar/calendar_settings.cpp
  calendar/month_model.cpp
  calendar/holiday_table.cpp
  calendar/block_geometry.cpp
  settings/atomic_file.cpp
  settings/profile.cpp
  settings/settings_store.cpp
)
target_include_directories(lunetta_core PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
