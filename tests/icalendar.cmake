# Tests of lunetta_icalendar: no Qt, no display.
lunetta_add_test(icalendar_reader SOURCES icalendar/icalendar_test.cpp LIBS lunetta_icalendar)
