# The Debian package (`make package`): both programs in /usr/bin, the holiday file in
# /usr/share/lunetta, the desktop entry, icon, AppStream metainfo and man pages, and in
# /usr/share/doc/lunetta the README, the copyright file, the changelog and the screenshots. Depends
# lists the libraries dpkg-shlibdeps finds in the binaries, and what Qt loads at run time.
set(package_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/lunetta)
set(release_notes ${CMAKE_CURRENT_LIST_DIR}/changelog)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${release_notes}
                                                              ${PROJECT_SOURCE_DIR}/LICENSE)

# The release notes are kept in Debian's changelog format, newest first. Each entry becomes a
# <release> of the metainfo; the newest gives its version and who signed it.
function(lunetta_read_release_notes file out_releases out_version out_signer)
  file(READ ${file} text)
  # As a CMake list, the lines would be split at semicolons and joined at brackets.
  string(ASCII 29 semicolon)
  string(ASCII 30 open_bracket)
  string(ASCII 31 close_bracket)
  string(REPLACE ";" "${semicolon}" text "${text}")
  string(REPLACE "[" "${open_bracket}" text "${text}")
  string(REPLACE "]" "${close_bracket}" text "${text}")
  string(REPLACE "\n" ";" lines "${text}")

  set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
  set(releases "")
  set(items "")
  set(item "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^lunetta \\(([^)]+)\\)")
      set(version ${CMAKE_MATCH_1})
    elseif(line MATCHES "^    (.+)$")
      string(APPEND item " ${CMAKE_MATCH_1}")
    elseif(line MATCHES "^(  \\* | -- )")
      if(NOT item STREQUAL "")
        string(REPLACE "&" "&amp;" item "${item}")
        string(REPLACE "<" "&lt;" item "${item}")
        string(REPLACE ">" "&gt;" item "${item}")
        string(APPEND items "          <li>${item}</li>\n")
      endif()
      set(item "")
      if(line MATCHES "^  \\* (.+)$")
        set(item "${CMAKE_MATCH_1}")
      elseif(line MATCHES "^ -- (.+)  [A-Z][a-z][a-z], ([0-9]+) ([A-Z][a-z][a-z]) ([0-9]+) ")
        set(signer "${CMAKE_MATCH_1}")
        list(FIND months ${CMAKE_MATCH_3} month)
        math(EXPR month "${month} + 1")
        math(EXPR date "${CMAKE_MATCH_4} * 10000 + ${month} * 100 + ${CMAKE_MATCH_2}")
        string(REGEX REPLACE "^(....)(..)(..)$" "\\1-\\2-\\3" date ${date})
        string(APPEND releases "    <release version=\"${version}\" date=\"${date}\">\n"
               "      <description>\n        <ul>\n${items}        </ul>\n      </description>\n"
               "    </release>\n")
        if(NOT newest_version)
          set(newest_version ${version})
          set(newest_signer "${signer}")
        endif()
        set(items "")
      endif()
    endif()
  endforeach()
  string(STRIP "${releases}" releases)
  string(REPLACE "${semicolon}" ";" releases "${releases}")
  string(REPLACE "${open_bracket}" "[" releases "${releases}")
  string(REPLACE "${close_bracket}" "]" releases "${releases}")
  set(${out_releases} "${releases}" PARENT_SCOPE)
  set(${out_version} "${newest_version}" PARENT_SCOPE)
  set(${out_signer} "${newest_signer}" PARENT_SCOPE)
endfunction()

lunetta_read_release_notes(${release_notes} LUNETTA_RELEASES notes_version notes_signer)
if(NOT notes_version STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "The newest entry of ${release_notes} is '${notes_version}', the project "
                      "is ${PROJECT_VERSION}: add the release notes of ${PROJECT_VERSION}")
endif()
set(metainfo ${PROJECT_BINARY_DIR}/packaging/io.github.lunetta_developers.lunetta.metainfo.xml)
configure_file(${CMAKE_CURRENT_LIST_DIR}/io.github.lunetta_developers.lunetta.metainfo.xml.in
               ${metainfo} @ONLY)
install(FILES ${metainfo} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The machine-readable copyright file carries LICENSE's notice and text.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license)
if(NOT license MATCHES "Copyright \\(c\\) ([^\n]+)\n.*(Permission is hereby granted.*)$")
  message(FATAL_ERROR "LICENSE has no copyright line or no permission notice")
endif()
set(LUNETTA_COPYRIGHT "${CMAKE_MATCH_1}")
string(STRIP "${CMAKE_MATCH_2}" license_text)
string(REPLACE "\n\n" "\n.\n" license_text "${license_text}")
string(REPLACE "\n" "\n " LUNETTA_LICENSE_TEXT " ${license_text}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/copyright.in ${PROJECT_BINARY_DIR}/packaging/copyright
               @ONLY)

# Man pages and the changelog are kept compressed, as Debian keeps them, without a name or time in
# the gzip header so that the package is reproducible.
set(compressed_pages)
set(compressed_docs)
foreach(file lunetta.1 lunetta-compose.1 changelog)
  set(copy ${PROJECT_BINARY_DIR}/packaging/${file})
  add_custom_command(OUTPUT ${copy}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_LIST_DIR}/${file} ${copy}
    COMMAND gzip -9nf ${copy}
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/${file} VERBATIM)
  if(file STREQUAL "changelog")
    list(APPEND compressed_docs ${copy}.gz)
  else()
    list(APPEND compressed_pages ${copy}.gz)
  endif()
endforeach()
add_custom_target(compressed_docs ALL DEPENDS ${compressed_pages} ${compressed_docs})
install(FILES ${compressed_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_BINARY_DIR}/packaging/copyright
              ${compressed_docs} DESTINATION ${package_doc_dir})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/screenshots/main-window.png
              ${CMAKE_CURRENT_LIST_DIR}/screenshots/settings.png
        DESTINATION ${package_doc_dir}/screenshots)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lunetta)
set(CPACK_PACKAGE_VENDOR "Lunetta developers")
# Whoever signed the newest release notes, unless a packager names someone else
# (-DLUNETTA_MAINTAINER="Name <address>").
if(NOT LUNETTA_MAINTAINER)
  set(LUNETTA_MAINTAINER "${notes_signer}")
endif()
set(CPACK_PACKAGE_CONTACT "${LUNETTA_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "photo calendar maker for the desktop")
# Debian shows the description as it is: lines of at most 80 characters.
set(CPACK_PACKAGE_DESCRIPTION [=[
Lunetta lays one month's calendar over a photograph and makes the result the
desktop wallpaper, a saved picture or a print. The picture has the screen's
own size, any size up to 7680 pixels a side, or one of the classic 800 × 600,
1024 × 768 and 1280 × 1024; the photo is stretched, filled or fitted. Sundays
and Japanese national holidays are drawn in red, Saturdays in blue; the
calendar's place, font, colours and transparency are the user's to choose.

Lunetta sets the wallpaper on GNOME, KDE Plasma, Xfce, Cinnamon, MATE, LXQt and
other X11 desktops, and can renew it on the first of every month. It saves a
year of pictures at once, or prints a twelve-page calendar or PDF. The window
is in Japanese, and in English under the locales of other languages.
lunetta-compose makes the same pictures from the command line, for scripts.]=])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so dpkg-shlibdeps cannot see them: the WebP and TIFF readers, and the faces
# that stand in for the Windows fonts of the dialogs and of the calendar. libqpdf29 sets the wall
# calendar PDF's page boxes. libheif and libjxl are linked by the codecs module, which
# dpkg-shlibdeps reads as it reads the programs; Debian 12's libheif1 links its decoders (libde265
# for HEIC, dav1d and libaom for AVIF) and depends on them itself.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-image-formats-plugins, fonts-ipafont-gothic, fonts-ipafont-mincho, fonts-noto-cjk, \
fonts-liberation2, fonts-dejavu-core, fonts-roboto-unhinted, fonts-ebgaramond, fonts-urw-base35, libical3, \
libqpdf29")
# Qt's own dialogs in Japanese.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
include(CPack)
