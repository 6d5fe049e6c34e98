# The wall calendar: page geometry without a display, and the PDF read back with poppler's tools.
lunetta_add_test(wall_layout SOURCES wall/wall_layout_test.cpp LIBS lunetta_wall)
lunetta_add_test(wall_pdf SOURCES wall/wall_pdf_test.cpp LIBS lunetta_wall GUI)
