# What a Linux desktop expects beside the programs (desktop entry, icons, software-centre
# metadata, manual pages) and the Debian package that carries it all, built with CPack.
# The version comes from project(), the id desktops know Taplore by from TAPLORE_APP_ID.

# The day this version was released: the metainfo and manual pages print it as a date, the
# Debian changelog in its own form.
set(TAPLORE_RELEASE_DATE 2026-12-07)
set(TAPLORE_RELEASE_DATE_RFC "Mon, 07 Dec 2026 00:00:00 +0000")

# Texts that carry the version are filled in here; tests/CMakeLists.txt validates them.
set(TAPLORE_PACKAGING_DIR ${PROJECT_BINARY_DIR}/packaging)
set(metainfo ${TAPLORE_PACKAGING_DIR}/${TAPLORE_APP_ID}.metainfo.xml)
configure_file(${PROJECT_SOURCE_DIR}/src/res/${TAPLORE_APP_ID}.metainfo.xml.in ${metainfo} @ONLY)

# Fills in a text's version and date and compresses it, as Debian wants manual pages and
# changelogs; -n leaves name and time out, so the same sources give the same package.
function(taplore_configure_gzipped template result)
    get_filename_component(name ${template} NAME_WLE)
    set(text ${TAPLORE_PACKAGING_DIR}/${name})
    configure_file(${PROJECT_SOURCE_DIR}/${template} ${text} @ONLY)
    execute_process(COMMAND gzip -9nc ${text} OUTPUT_FILE ${text}.gz COMMAND_ERROR_IS_FATAL ANY)
    set(${result} ${text}.gz PARENT_SCOPE)
endfunction()
taplore_configure_gzipped(docs/taplore.1.in taplore_man)
taplore_configure_gzipped(docs/taplore-design.1.in taplore_design_man)
taplore_configure_gzipped(cmake/debian/changelog.in changelog)

# The dialog's entry, and the requirements window's, which starts the program with that window.
install(FILES ${PROJECT_SOURCE_DIR}/src/res/${TAPLORE_APP_ID}.desktop
    ${PROJECT_SOURCE_DIR}/src/res/${TAPLORE_APP_ID}.requirements.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${metainfo} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 32 64 128)
    install(FILES ${PROJECT_SOURCE_DIR}/src/res/taplore-${size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
        RENAME taplore.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/src/res/taplore.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# The design document's type, which the requirements window's entry opens, and its icon.
install(FILES ${PROJECT_SOURCE_DIR}/src/res/${TAPLORE_APP_ID}.mime.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME ${TAPLORE_APP_ID}.xml)
install(FILES ${PROJECT_SOURCE_DIR}/src/res/application-x-taplore-design.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/mimetypes)
install(FILES ${taplore_man} ${taplore_design_man} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# The package's name, not the project's: Debian looks for /usr/share/doc/<package>.
# The manual is the one F1 shows, readable without the program too.
install(FILES ${PROJECT_SOURCE_DIR}/cmake/debian/copyright ${changelog}
    ${PROJECT_SOURCE_DIR}/docs/manual.md ${PROJECT_SOURCE_DIR}/docs/requirements-window.png
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/taplore)

# `cmake --build . --target package` builds taplore_<version>_<architecture>.deb here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME taplore)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION}) # CPack's default would drop the fourth part
set(CPACK_PACKAGE_VENDOR "The Taplore developers")
set(CPACK_PACKAGE_CONTACT "The Taplore developers <taplore@example.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL https://taplore.example.org)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "FIR filter design by the window method")
set(CPACK_PACKAGE_DESCRIPTION
    "Taplore designs linear-phase FIR filters. Type a filter order and a sampling
rate, place the low and high cutoffs with two sliders and press Calculate:
Taplore computes Hamming-windowed coefficients (low-pass, high-pass, band-pass
or band-stop, chosen from where the cutoffs lie), lists them and draws the
filter's log-magnitude spectrum. Save writes the coefficients to a text file.

The package holds the FIR Filter Design dialog (taplore) and the command-line
designer (taplore-design), which makes the same designs for scripts.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# Libraries come from the binaries; what they load at run time does not show there: the
# dialog's font and the plugin that connects Qt to the display.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core, qt6-qpa-plugins")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Folders 0755 whatever the umask of whoever builds.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
