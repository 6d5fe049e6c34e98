lunetta_add_fuzzer(fuzz-icalendar icalendar_fuzz.cpp lunetta_icalendar)
# The reader itself is instrumented, so the fuzzer sees which of its branches an input reaches.
target_compile_options(lunetta_icalendar PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
