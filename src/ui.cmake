# lunetta_ui: dialogs, output and the start-up; the desktop program is a thin main() over it.
add_library(lunetta_ui STATIC
  platform/dialog_units.cpp
  ui/failure_messages.cpp
  platform/control_table.h
  platform/control_table.cpp
  platform/screen_placement.h
  platform/screen_placement.cpp
)
target_link_libraries(lunetta_ui PUBLIC lunetta_session Qt6::Widgets Qt6::PrintSupport)
include(ui_main.cmake)
include(ui_settings.cmake)
include(ui_output.cmake)

# The English interface. The sources' texts are Japanese; translations/lunetta_en.ts holds their
# English, refreshed from the sources by the lunetta_ui_lupdate target. Its .qm is built and
# embedded as :/lunetta/i18n/lunetta_en.qm.
set(LUNETTA_LUPDATE_OPTIONS -source-language ja -locations none -no-obsolete)
qt_add_translations(lunetta_ui
  TS_FILES ${PROJECT_SOURCE_DIR}/translations/lunetta_en.ts
  RESOURCE_PREFIX /lunetta/i18n
  LUPDATE_OPTIONS ${LUNETTA_LUPDATE_OPTIONS})
