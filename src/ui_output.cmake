# Saving the desktop picture and printing.
target_sources(lunetta_ui PRIVATE
  output/desktop_picture.h
  output/desktop_picture.cpp
  output/print_picture.h
  output/print_picture.cpp
)
