# Where the block goes and which colours keep it readable, on pictures made in the tests.
lunetta_add_test(placement_energy_map SOURCES placement/energy_map_test.cpp
                 LIBS lunetta_placement)
lunetta_add_test(placement_legibility SOURCES placement/legibility_test.cpp
                 LIBS lunetta_placement)
