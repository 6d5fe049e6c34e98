target_sources(lunetta_ui PRIVATE
  output/desktop_picture.cpp
  output/print_picture.cpp
)
