# lunetta_placement: where the block goes on a photo and which colours keep it readable; pictures
# as QImage, no widgets.
add_library(lunetta_placement STATIC
  placement/energy_map.cpp
  placement/legibility.cpp
)
target_link_libraries(lunetta_placement PUBLIC lunetta_core Qt6::Gui)
