# What a Linux desktop expects beside the programs: desktop entry, icons, software-centre
# metadata, manual pages.
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

install(FILES ${PROJECT_SOURCE_DIR}/src/res/${TAPLORE_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${metainfo} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 32)
    install(FILES ${PROJECT_SOURCE_DIR}/src/res/taplore-${size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
        RENAME taplore.png)
endforeach()
install(FILES ${taplore_man} ${taplore_design_man} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
