lunetta_add_fuzzer(fuzz-holiday holiday_fuzz.cpp lunetta_core)
lunetta_add_fuzzer(fuzz-profile profile_fuzz.cpp lunetta_core)
