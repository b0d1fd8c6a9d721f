# The Debian package: the console and the simulated unit in /usr/bin, the desktop entry, the icon
# in the hicolor theme (the SVG and PNGs rendered from it), AppStream metadata, copyright and
# changelog. `cpack` in the build folder writes package/revodive_<version>_<arch>.deb;
# scripts/package builds and validates it.

set(REVODIVE_APP_ID com.example.rarevi.revodive)
set(REVODIVE_PACKAGING ${CMAKE_SOURCE_DIR}/packaging)
set(REVODIVE_PACKAGE_FILES ${CMAKE_BINARY_DIR}/packaging)

install(TARGETS revodive revodive-sim RUNTIME DESTINATION bin)
install(FILES ${REVODIVE_PACKAGING}/${REVODIVE_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${REVODIVE_PACKAGING}/${REVODIVE_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${REVODIVE_PACKAGING}/revodive.svg
        DESTINATION share/icons/hicolor/scalable/apps RENAME ${REVODIVE_APP_ID}.svg)
install(FILES ${REVODIVE_PACKAGING}/copyright DESTINATION share/doc/revodive)

# Files made at build time: the compressed changelog and, where rsvg-convert (librsvg2-bin) is
# installed, the 48 and 256 pixel icons drawn from the SVG.
find_program(REVODIVE_GZIP gzip)
find_program(REVODIVE_RSVG_CONVERT rsvg-convert)
set(made ${REVODIVE_PACKAGE_FILES}/changelog.gz)
add_custom_command(
    OUTPUT ${REVODIVE_PACKAGE_FILES}/changelog.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${REVODIVE_PACKAGE_FILES}
    COMMAND ${REVODIVE_GZIP} -9n -c ${REVODIVE_PACKAGING}/changelog > ${REVODIVE_PACKAGE_FILES}/changelog.gz
    DEPENDS ${REVODIVE_PACKAGING}/changelog VERBATIM)
install(FILES ${REVODIVE_PACKAGE_FILES}/changelog.gz DESTINATION share/doc/revodive)
if(REVODIVE_RSVG_CONVERT)
    foreach(size 48 256)
        set(png ${REVODIVE_PACKAGE_FILES}/icon-${size}.png)
        add_custom_command(
            OUTPUT ${png}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${REVODIVE_PACKAGE_FILES}
            COMMAND ${REVODIVE_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${REVODIVE_PACKAGING}/revodive.svg
            DEPENDS ${REVODIVE_PACKAGING}/revodive.svg VERBATIM)
        list(APPEND made ${png})
        install(FILES ${png} DESTINATION share/icons/hicolor/${size}x${size}/apps
                RENAME ${REVODIVE_APP_ID}.png)
    endforeach()
else()
    message(STATUS "rsvg-convert not found: the package gets the scalable icon only")
endif()
add_custom_target(revodive_package_files ALL DEPENDS ${made})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME revodive)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Rarevi)
set(CPACK_PACKAGE_CONTACT "Rarevi <support@rarevi.example.com>")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://rarevi.example.com/)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "diagnostics console for the Rarevi vehicle tracking unit
A service technician connects the Rarevi vehicle tracking unit to a serial
port; the console decodes the unit's text stream and shows its whole live
state in one window, sends it commands, edits its SIM settings, keeps a
traffic log and records calibration tables of fuel-level sensors.
.
revodive-sim plays a unit on a pseudo-terminal for trying the console out.")
# The libraries come from the binaries (dpkg-shlibdeps); the Qt platform plugins, the design's
# font and Qt's Russian texts are loaded at run time and named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-wine, qt6-translations-l10n")
include(CPack)
