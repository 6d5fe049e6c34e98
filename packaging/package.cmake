# The Debian package (`make package`): both programs in /usr/bin, the holiday file in
# /usr/share/lunetta, the desktop entry, icon, AppStream metainfo and man pages. Depends lists the
# libraries dpkg-shlibdeps finds in the binaries, and what Qt loads at run time.
install(FILES ${CMAKE_CURRENT_LIST_DIR}/com.example.lunetta.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Man pages are kept compressed, as Debian keeps them.
set(man_pages)
foreach(page lunetta.1 lunetta-compose.1)
  set(compressed ${PROJECT_BINARY_DIR}/man/${page}.gz)
  add_custom_command(OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_LIST_DIR}/${page} ${PROJECT_BINARY_DIR}/man/${page}
    COMMAND gzip -9nf ${PROJECT_BINARY_DIR}/man/${page}
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/${page} VERBATIM)
  list(APPEND man_pages ${compressed})
endforeach()
add_custom_target(man_pages ALL DEPENDS ${man_pages})
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lunetta)
set(CPACK_PACKAGE_VENDOR "Lunetta developers")
set(CPACK_PACKAGE_CONTACT "Lunetta developers <support@lunetta.example.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "photo calendar maker for the desktop")
set(CPACK_PACKAGE_DESCRIPTION
    "Lunetta lays one month's calendar over a photograph and saves or prints the result, for use \
as the desktop background. Sundays and Japanese national holidays are drawn in red, Saturdays in \
blue; the calendar's place, font, colours and transparency are the user's to choose. The user \
interface is Japanese. lunetta-compose makes the same pictures without a window, for scripts.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://lunetta.example.com)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so dpkg-shlibdeps cannot see them: the WebP and TIFF readers, and the faces
# that stand in for the Windows fonts of the dialogs and of the calendar.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-image-formats-plugins, fonts-ipafont-gothic, fonts-ipafont-mincho, fonts-noto-cjk, \
fonts-liberation2, fonts-dejavu-core, fonts-roboto-unhinted, fonts-ebgaramond, fonts-urw-base35, libical3")
# Qt's own dialogs in Japanese.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
include(CPack)
