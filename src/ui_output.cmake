# Saving the desktop picture and printing.
target_sources(lunetta_ui PRIVATE
  output/desktop_picture.h
  output/desktop_picture.cpp
  output/print_picture.h
  output/print_picture.cpp
)
# The year's pictures and pages, behind a progress dialog.
target_sources(lunetta_ui PRIVATE
  output/year_output.h
  output/year_output.cpp
  ui/year_progress.h
  ui/year_progress.cpp
)
