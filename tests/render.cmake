# The drawing seam, the calendar block renderer and the composition; they need fonts, hence GUI.
lunetta_add_test(render_composition SOURCES calendar/composition_test.cpp
                 LIBS lunetta_picture GUI)

# The calendar faces' substitutes, in the C locale and again in Japanese, where fontconfig would
# otherwise prefer other fallbacks.
lunetta_add_test(render_fonts SOURCES platform/font_substitutes_test.cpp LIBS lunetta_picture GUI)
set_property(TEST render_fonts APPEND PROPERTY ENVIRONMENT "LANG=C.UTF-8" "LC_ALL=C.UTF-8")
add_test(NAME render_fonts_ja COMMAND render_fonts)
get_test_property(render_fonts ENVIRONMENT fonts_environment)
list(FILTER fonts_environment EXCLUDE REGEX "^(LANG|LC_ALL)=")
set_tests_properties(render_fonts_ja PROPERTIES
  ENVIRONMENT "${fonts_environment};LANG=ja_JP.UTF-8;LC_ALL=ja_JP.UTF-8" LABELS gui TIMEOUT 300)
