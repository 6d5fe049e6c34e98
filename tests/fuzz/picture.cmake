lunetta_add_fuzzer(fuzz-picture picture_fuzz.cpp lunetta_picture)
