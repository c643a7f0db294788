# What `cmake --install` puts where. Paths stay relative to the prefix, so `--prefix` and DESTDIR
# at install time move the whole installation.

install(TARGETS ruvo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The project installs no libraries of its own, so its programs need no search path.
set_target_properties(ruvo PROPERTIES INSTALL_RPATH "")
install(FILES ${RUVO_PROGRAM_DIR}/imgs.pak DESTINATION ${CMAKE_INSTALL_DATADIR}/ruvo)
install(TARGETS info_program RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/ruvo)
set_target_properties(info_program PROPERTIES INSTALL_RPATH "")
set(installables ruvo image_pack app_icon info_program)

install(FILES ${PROJECT_SOURCE_DIR}/data/${RUVO_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/${RUVO_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# Debian keeps a package's copyright in /usr/share/doc/<package>/ (the package is ruvo, not Ruvo).
install(FILES ${PROJECT_SOURCE_DIR}/data/copyright DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/ruvo)
foreach(size ${RUVO_ICON_SIZES})
    install(FILES ${RUVO_ICON_DIR}/${size}x${size}/apps/${RUVO_APP_ID}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# Man pages are installed compressed, as Debian and most distributions keep them.
find_program(GZIP_PROGRAM gzip)
if(GZIP_PROGRAM)
    set(man_page ${CMAKE_BINARY_DIR}/man/ruvo.1.gz)
    add_custom_command(
        OUTPUT ${man_page}
        COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/data/ruvo.1 ${CMAKE_BINARY_DIR}/man/ruvo.1
        COMMAND ${GZIP_PROGRAM} -9nf ${CMAKE_BINARY_DIR}/man/ruvo.1
        DEPENDS ${PROJECT_SOURCE_DIR}/data/ruvo.1
        COMMENT "Compressing the man page"
        VERBATIM)
    add_custom_target(man_page ALL DEPENDS ${man_page})
    list(APPEND installables man_page)
else()
    set(man_page ${PROJECT_SOURCE_DIR}/data/ruvo.1)
endif()
install(FILES ${man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# Everything an installation needs, without the tests and benchmarks.
add_custom_target(ruvo_installables DEPENDS ${installables})
