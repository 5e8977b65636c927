# Taplore for 64-bit Windows, as people get it: taplore-<version>-win64-setup.exe, an NSIS
# installer (both programs, the manual and the licence, a Start menu entry and an
# uninstaller), and beside it taplore-<version>-win64.zip with the same files to unpack
# anywhere. Both .exe are linked statically, so nothing else needs to come along.
set(TAPLORE_WINDOWS_ZIP ${PROJECT_BINARY_DIR}/taplore-${PROJECT_VERSION}-win64.zip)
set(TAPLORE_WINDOWS_INSTALLER ${PROJECT_BINARY_DIR}/taplore-${PROJECT_VERSION}-win64-setup.exe)
set(staging ${PROJECT_BINARY_DIR}/win64)
# Notepad before Windows 10 shows LF-only text as one line.
configure_file(docs/taplore-windows.txt.in ${staging}/README.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(LICENSE ${staging}/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(docs/manual.md ${staging}/manual.md COPYONLY)
configure_file(cmake/taplore.nsi.in ${PROJECT_BINARY_DIR}/taplore.nsi @ONLY)
set(files taplore.exe taplore-design.exe manual.md LICENSE.txt README.txt)

find_program(MAKENSIS makensis)
if(MAKENSIS)
    # Built with everything else: the tests install it into Wine.
    add_custom_command(OUTPUT ${TAPLORE_WINDOWS_INSTALLER}
        COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:taplore> $<TARGET_FILE:taplore-design>
                ${staging}
        COMMAND ${MAKENSIS} -V2 -NOCD ${PROJECT_BINARY_DIR}/taplore.nsi
        WORKING_DIRECTORY ${staging}
        DEPENDS taplore taplore-design ${PROJECT_BINARY_DIR}/taplore.nsi
        COMMENT "Building ${TAPLORE_WINDOWS_INSTALLER}")
    add_custom_target(windows-installer ALL DEPENDS ${TAPLORE_WINDOWS_INSTALLER})
else()
    message(WARNING "makensis not found (Debian package nsis): no installer")
    add_custom_target(windows-installer)
endif()

add_custom_target(package-windows
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:taplore> $<TARGET_FILE:taplore-design>
            ${staging}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${TAPLORE_WINDOWS_ZIP}
    COMMAND ${CMAKE_COMMAND} -E tar cf ${TAPLORE_WINDOWS_ZIP} --format=zip ${files}
    WORKING_DIRECTORY ${staging}
    DEPENDS taplore taplore-design windows-installer
    COMMENT "Packing ${TAPLORE_WINDOWS_ZIP}")
