# What `cmake --install` puts on a Linux system, and the Debian package made
# from it by CPack (./package.sh). The Windows programs go in a zip made by
# windows/package.sh (./build-windows.sh --package) instead.
include(GNUInstallDirs)

install(TARGETS morvane-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(MORVANE_GUI)
  install(TARGETS morvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

if(WIN32)
  return()
endif()

set(packaging ${PROJECT_SOURCE_DIR}/packaging)
set(MORVANE_MAINTAINER "The Morvane developers <morvane@example.org>"
    CACHE STRING "Maintainer named in the Debian package")

# The desktop menu: the entry and the icon, drawn as SVG; the PNGs are made
# from it by packaging/icons/make_icons.sh and kept in the tree.
if(MORVANE_GUI)
  install(FILES ${packaging}/morvane.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  foreach(size 16 32 48 64 128 256)
    install(FILES ${packaging}/icons/morvane-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME morvane.png)
  endforeach()
  install(FILES ${packaging}/icons/morvane.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

# Manual pages and the Debian changelog, compressed as Debian wants them
# (gzip -9, no name or time stamp inside).
string(TIMESTAMP MORVANE_RELEASE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
set(docs ${PROJECT_BINARY_DIR}/packaging)
set(pages morvane-cli.1)
if(MORVANE_GUI)
  list(APPEND pages morvane.1)
endif()
set(compressed "")
foreach(page ${pages} changelog.Debian)
  if(page STREQUAL "changelog.Debian")
    configure_file(${packaging}/changelog.Debian.in ${docs}/${page} @ONLY)
  else()
    configure_file(${packaging}/${page} ${docs}/${page} @ONLY)
  endif()
  add_custom_command(OUTPUT ${docs}/${page}.gz
                     COMMAND gzip -9 -n -c ${docs}/${page} > ${docs}/${page}.gz
                     DEPENDS ${docs}/${page}
                     COMMENT "Compressing ${page}")
  list(APPEND compressed ${docs}/${page}.gz)
endforeach()
add_custom_target(morvane_docs ALL DEPENDS ${compressed})
foreach(page ${pages})
  install(FILES ${docs}/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
install(FILES ${packaging}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/morvane)
install(FILES ${docs}/changelog.Debian.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/morvane RENAME changelog.gz)

# The Debian package: morvane_VERSION_ARCH.deb, its dependencies found by
# dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME morvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Morvane developers")
set(CPACK_PACKAGE_CONTACT "${MORVANE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "key remapper for compiled GTA III, Vice City and San Andreas scripts")
set(CPACK_PACKAGE_DESCRIPTION
    "Morvane opens a compiled mission script of GTA III, Vice City or San Andreas\n"
    "(.scm, .cs, .cm), lists every instruction that tests a keyboard key or a pad\n"
    "button by key name, lets you pick another key for each, and writes the file\n"
    "back byte for byte with only those keys changed.\n"
    "\n"
    "It comes as a window (morvane) and a command line tool (morvane-cli) for\n"
    "many scripts at once. Both need the opcode INI files SCM.ini, VICESCM.ini\n"
    "and SASCM.ini that Sanny Builder keeps in its data folder.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${MORVANE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_OUTPUT_FILE_PREFIX ${PROJECT_SOURCE_DIR}/dist)
include(CPack)
