# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows program folder: `cmake --install` puts the programs, the Qt and MinGW runtime they
# load, the plugins, Qt's Russian texts and qt.conf into one folder that runs as it stands (the
# portable zip) and that the installer copies.

set(INKWICK_RC ${CMAKE_BINARY_DIR}/packaging/inkwick.rc)
configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/inkwick.rc.in ${INKWICK_RC} @ONLY)
set_source_files_properties(${INKWICK_RC} PROPERTIES OBJECT_DEPENDS
                            ${INKWICK_ICON_DIR}/inkwick.ico)
foreach(program inkwick inkwick-cli)
  if(TARGET ${program})
    target_sources(${program} PRIVATE ${INKWICK_RC})
    add_dependencies(${program} inkwick_icons)
    install(TARGETS ${program} RUNTIME DESTINATION .)
  endif()
endforeach()

# What the programs load: the Qt libraries, and the MinGW runtime Qt and they were built with.
set(INKWICK_QT_LIBRARIES Qt6::Core Qt6::Gui Qt6::Widgets Qt6::SerialPort)
foreach(library ${INKWICK_QT_LIBRARIES})
  install(FILES $<TARGET_FILE:${library}> DESTINATION .)
endforeach()
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
    message(FATAL_ERROR "The MinGW runtime ${dll} was not found")
  endif()
  install(FILES ${path} DESTINATION .)
endforeach()

# Plugins: the window system, the native look, and the picture formats of the file dialogs.
set(INKWICK_QT_PLUGINS
    platforms Qt6::QWindowsIntegrationPlugin
    styles Qt6::QWindowsVistaStylePlugin
    imageformats Qt6::QICOPlugin
    imageformats Qt6::QJpegPlugin
    imageformats Qt6::QGifPlugin)
while(INKWICK_QT_PLUGINS)
  list(POP_FRONT INKWICK_QT_PLUGINS kind plugin)
  if(TARGET ${plugin})
    install(FILES $<TARGET_FILE:${plugin}> DESTINATION plugins/${kind})
  endif()
endwhile()

# Qt's own dialogs in Russian (the translations are the same files on every system).
find_file(INKWICK_QT_RUSSIAN qtbase_ru.qm PATHS /usr/share/qt6/translations
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(INKWICK_QT_RUSSIAN)
  install(FILES ${INKWICK_QT_RUSSIAN} DESTINATION translations)
else()
  message(WARNING "qtbase_ru.qm not found (qt6-translations-l10n): Qt's dialogs stay in English")
endif()

install(FILES ${CMAKE_SOURCE_DIR}/packaging/windows/qt.conf ${INKWICK_ICON_DIR}/inkwick.ico
        DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
