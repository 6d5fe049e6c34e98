# Tests of lunetta_core: no Qt, no display.
lunetta_add_test(core_month_model SOURCES calendar/month_model_test.cpp LIBS lunetta_core)
lunetta_add_test(core_holiday_table SOURCES calendar/holiday_table_test.cpp LIBS lunetta_core)
lunetta_add_test(core_block_geometry SOURCES calendar/block_geometry_test.cpp
                 LIBS lunetta_core)
lunetta_add_test(core_settings_store SOURCES settings/settings_store_test.cpp
                 LIBS lunetta_core)
lunetta_add_test(core_c_runtime SOURCES platform/c_runtime_test.cpp LIBS lunetta_core)
lunetta_add_test(core_file_io SOURCES platform/file_io_test.cpp LIBS lunetta_core)
lunetta_add_test(core_japanese_holidays SOURCES calendar/japanese_holidays_test.cpp
                 LIBS lunetta_core)
lunetta_add_test(core_japanese_era SOURCES calendar/japanese_era_test.cpp LIBS lunetta_core)
lunetta_add_test(core_xdg_folders SOURCES platform/xdg_folders_test.cpp LIBS lunetta_core)
lunetta_add_test(core_color_contrast SOURCES calendar/color_contrast_test.cpp LIBS lunetta_core)
lunetta_add_test(core_proportional_layout SOURCES calendar/proportional_layout_test.cpp
                 LIBS lunetta_core)
lunetta_add_test(core_text_regions SOURCES calendar/text_regions_test.cpp LIBS lunetta_core)
