lunetta_add_fuzzer(fuzz-picture picture_fuzz.cpp lunetta_picture)
lunetta_add_fuzzer(fuzz-heif-jxl heif_jxl_fuzz.cpp lunetta_picture)
# The picture layer's own parsers (the HEIF box reader above all) are instrumented as the targets
# are, so that libFuzzer follows their branches and the sanitizers watch their reads.
target_compile_options(lunetta_picture PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
target_link_options(lunetta_picture INTERFACE -fsanitize=address,undefined)
