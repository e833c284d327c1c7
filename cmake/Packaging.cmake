# SPDX-License-Identifier: GPL-3.0-or-later
# Installation (program, desktop entry, icons) and the Debian package built by CPack.
include(GNUInstallDirs)

set(INKWICK_ICON_SIZES 32 48 64 128)
if(WIN32)
  set(INKWICK_ICON_SIZES 16 32 48 64 128 256)
endif()
set(INKWICK_ICON_DIR ${CMAKE_BINARY_DIR}/packaging/icons)

# The icons are drawn by our own generator, so nothing binary lives in the repository. A cross
# build cannot run what it builds: it takes the generator of a native build of this tree.
if(CMAKE_CROSSCOMPILING)
  set(INKWICK_HOST_BUILD_DIR "" CACHE PATH "A native build of this tree, for its make_icons")
  find_program(INKWICK_MAKE_ICONS make_icons PATHS ${INKWICK_HOST_BUILD_DIR} NO_DEFAULT_PATH
               NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  set(make_icons_command ${INKWICK_MAKE_ICONS})
  set(make_icons_target)
else()
  add_executable(make_icons ${CMAKE_SOURCE_DIR}/packaging/make_icons.cpp)
  target_link_libraries(make_icons PRIVATE Qt6::Gui)
  set(make_icons_command $<TARGET_FILE:make_icons>)
  set(make_icons_target make_icons)
endif()
set(INKWICK_ICON_FILES ${INKWICK_ICON_DIR}/inkwick.ico)
foreach(size ${INKWICK_ICON_SIZES})
  list(APPEND INKWICK_ICON_FILES ${INKWICK_ICON_DIR}/${size}/inkwick.png)
endforeach()
add_custom_command(
  OUTPUT ${INKWICK_ICON_FILES}
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
          ${make_icons_command} ${INKWICK_ICON_DIR} ${INKWICK_ICON_SIZES}
  DEPENDS ${make_icons_target}
  COMMENT "Drawing the application icons"
  VERBATIM)
add_custom_target(inkwick_icons ALL DEPENDS ${INKWICK_ICON_FILES})

if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/WindowsPackaging.cmake)
  return()
endif()

# Debian wants the manual page and the package's change log compressed, without a time stamp.
set(INKWICK_DOC_DIR ${CMAKE_BINARY_DIR}/packaging/doc)
set(INKWICK_DOC_SOURCES ${CMAKE_SOURCE_DIR}/packaging/inkwick.1
    ${CMAKE_SOURCE_DIR}/src/cli/inkwick-cli.1 ${CMAKE_SOURCE_DIR}/packaging/inkwick-agent.8
    ${CMAKE_SOURCE_DIR}/packaging/changelog)
set(INKWICK_DOC_FILES)
foreach(source ${INKWICK_DOC_SOURCES})
  get_filename_component(name ${source} NAME)
  add_custom_command(
    OUTPUT ${INKWICK_DOC_DIR}/${name}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${INKWICK_DOC_DIR}
    COMMAND gzip -9nc ${source} > ${INKWICK_DOC_DIR}/${name}.gz
    DEPENDS ${source}
    COMMENT "Compressing ${name}")
  list(APPEND INKWICK_DOC_FILES ${INKWICK_DOC_DIR}/${name}.gz)
endforeach()
add_custom_target(inkwick_docs ALL DEPENDS ${INKWICK_DOC_FILES})

if(TARGET inkwick)
  install(TARGETS inkwick RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES ${CMAKE_SOURCE_DIR}/packaging/org.inkwick.Inkwick.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/org.inkwick.Inkwick.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size ${INKWICK_ICON_SIZES})
  install(FILES ${INKWICK_ICON_DIR}/${size}/inkwick.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/packaging/inkwick.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${INKWICK_DOC_DIR}/inkwick.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
if(TARGET inkwick-cli)
  install(FILES ${INKWICK_DOC_DIR}/inkwick-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
if(TARGET inkwick-agent)
  install(FILES ${INKWICK_DOC_DIR}/inkwick-agent.8.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man8)
  # One instance per printer name, where Debian keeps the units of packages.
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/inkwick-agent@.service
          DESTINATION /lib/systemd/system)
endif()
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/inkwick)
install(FILES ${INKWICK_DOC_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/inkwick)

set(CPACK_PACKAGE_NAME inkwick)
set(CPACK_PACKAGE_VENDOR "Inkwick")
set(CPACK_PACKAGE_CONTACT "Inkwick developers <developers@inkwick.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Tool for K307/K309 ink-jet marking printers: settings, marks and logos")
set(CPACK_PACKAGE_DESCRIPTION
    "Inkwick talks to K307 and K309 industrial ink-jet marking printers over a\n\
serial line (RS-232 or a USB-serial adapter): it reads the printer's version,\n\
settings, counters and memory maps, sets its clock, date offset and print\n\
lines, edits marks and logos and moves them between files and the printer.\n\
The user interface is in Russian.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The Qt and C++ libraries come from dpkg-shlibdeps; the platform plugin, the fonts and Qt's
# Russian texts are loaded at run time, so no linker dependency names them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, qt6-image-formats-plugins, fonts-liberation, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "desktop-file-utils")
# libmosquitto1 comes from dpkg-shlibdeps; the broker and its clients are the plant's choice.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "mosquitto, mosquitto-clients")
include(CPack)
