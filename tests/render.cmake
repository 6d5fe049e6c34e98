# The drawing seam, the calendar block renderer and the composition. They need fonts, hence GUI;
# the shared GUI main makes a QApplication, which lives in Widgets.
lunetta_add_test(render_drawing_test SOURCES platform/drawing_test.cpp
                 LIBS lunetta_picture Qt6::Widgets GUI)
lunetta_add_test(render_calendar_renderer_test SOURCES calendar/calendar_renderer_test.cpp
                 LIBS lunetta_picture Qt6::Widgets GUI)
lunetta_add_test(render_composition_test SOURCES calendar/composition_test.cpp
                 LIBS lunetta_picture Qt6::Widgets GUI)
