# taplore-design-<version>-win64.zip: the command line for Windows, its licence and how to use
# it. The .exe is linked statically, so nothing else needs to come along.
set(TAPLORE_WINDOWS_ZIP ${PROJECT_BINARY_DIR}/taplore-design-${PROJECT_VERSION}-win64.zip)
set(staging ${PROJECT_BINARY_DIR}/win64)
# Notepad before Windows 10 shows LF-only text as one line.
configure_file(docs/taplore-design-windows.txt.in ${staging}/README.txt @ONLY NEWLINE_STYLE CRLF)
add_custom_target(package-windows
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:taplore-design> ${PROJECT_SOURCE_DIR}/LICENSE
            ${staging}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${TAPLORE_WINDOWS_ZIP}
    COMMAND ${CMAKE_COMMAND} -E tar cf ${TAPLORE_WINDOWS_ZIP} --format=zip
            taplore-design.exe LICENSE README.txt
    WORKING_DIRECTORY ${staging}
    DEPENDS taplore-design
    COMMENT "Packing ${TAPLORE_WINDOWS_ZIP}")
