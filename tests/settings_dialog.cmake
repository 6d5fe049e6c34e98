lunetta_add_test(ui_settings_dialog
  SOURCES ui/settings_dialog_test.cpp
  LIBS lunetta_ui GUI)
