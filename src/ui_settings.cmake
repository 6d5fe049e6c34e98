target_sources(lunetta_ui PRIVATE
  ui/settings_dialog.h
  ui/settings_dialog.cpp
)
