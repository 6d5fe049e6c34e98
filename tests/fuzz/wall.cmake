lunetta_add_fuzzer(fuzz-print-jpeg print_jpeg_fuzz.cpp lunetta_wall)
