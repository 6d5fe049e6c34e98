# lunetta_core: the calendar model, the holiday table, the settings store and safe file access;
# standard library and POSIX only.
add_library(lunetta_core STATIC
  calendar/calendar_settings.cpp
  calendar/month_model.cpp
  calendar/holiday_table.cpp
  calendar/block_geometry.cpp
  calendar/color_contrast.cpp
  calendar/proportional_layout.cpp
  calendar/text_regions.cpp
  calendar/japanese_holidays.cpp
  calendar/japanese_era.cpp
  platform/file_io.cpp
  platform/xdg_folders.cpp
  platform/stage_trace.cpp
  settings/profile.cpp
  settings/settings_store.cpp
)
target_include_directories(lunetta_core PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
