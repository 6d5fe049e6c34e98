# Saving the desktop picture and printing; the print test answers the real print dialog.
lunetta_add_test(output_desktop_picture SOURCES output/desktop_picture_test.cpp
                 LIBS lunetta_ui GUI)
lunetta_add_test(output_print_picture SOURCES output/print_picture_test.cpp
                 LIBS lunetta_ui GUI)
lunetta_add_test(output_year_output SOURCES output/year_output_test.cpp LIBS lunetta_ui GUI)
