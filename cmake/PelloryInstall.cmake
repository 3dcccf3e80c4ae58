# What `cmake --install` puts where: the programs in bin/; the blank book, the workbooks and the
# help document read-only in share/pellory/, from which an installed program seeds each user's
# data folder; the menu entries, icon, AppStream metainfo, man pages and package documents.
set(PELLORY_PACKAGING ${PROJECT_SOURCE_DIR}/packaging)

# Debian wants man pages and changelogs gzipped, without a timestamp in the header.
function(pellory_install_gzipped source destination)
  get_filename_component(name ${source} NAME)
  set(gzipped ${CMAKE_BINARY_DIR}/packaging/${name}.gz)
  add_custom_command(OUTPUT ${gzipped}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
                     COMMAND gzip -9n -c ${source} > ${gzipped}
                     DEPENDS ${source})
  add_custom_target(gzip_${name} ALL DEPENDS ${gzipped})
  install(FILES ${gzipped} DESTINATION ${destination})
endfunction()

# pellory_install_program(name): the executable, its menu entry and its man page.
function(pellory_install_program name)
  install(TARGETS ${name} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PELLORY_PACKAGING}/com.varnaby.${name}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  pellory_install_gzipped(${PELLORY_PACKAGING}/${name}.1 ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()

install(FILES ${PELLORY_PROGRAM_FOLDER}/pellory.mdb ${PELLORY_PROGRAM_FOLDER}/pellory.xls
              ${PELLORY_PROGRAM_FOLDER}/pelloryenv.xls ${PELLORY_PROGRAM_FOLDER}/pellorystmt.xls
              ${PELLORY_PROGRAM_FOLDER}/pellorylines.xls ${PELLORY_PROGRAM_FOLDER}/pellory.htm
        DESTINATION ${CMAKE_INSTALL_DATADIR}/pellory)
install(FILES ${PELLORY_PACKAGING}/com.varnaby.pellory.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PELLORY_PACKAGING}/icons/com.varnaby.pellory.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 32 48 64 128 256)
  install(FILES ${PELLORY_PACKAGING}/icons/com.varnaby.pellory-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME com.varnaby.pellory.png)
endforeach()
install(FILES ${PELLORY_PACKAGING}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/pellory)
pellory_install_gzipped(${PELLORY_PACKAGING}/changelog ${CMAKE_INSTALL_DATADIR}/doc/pellory)
install(FILES ${PELLORY_PACKAGING}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME pellory)
