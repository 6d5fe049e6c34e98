# SettingsDialog with its font chooser and tool tips.
target_sources(lunetta_ui PRIVATE
  ui/settings_dialog.h
  ui/settings_dialog.cpp
  ui/font_chooser.h
  ui/font_chooser.cpp
  ui/tool_tip_relay.h
  ui/tool_tip_relay.cpp
)
