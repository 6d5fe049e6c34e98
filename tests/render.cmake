# The drawing seam, the calendar block renderer and the composition; they need fonts, hence GUI.
lunetta_add_test(render_composition SOURCES calendar/composition_test.cpp
                 LIBS lunetta_picture GUI)
