# The hardening Debian builds its packages with: checked string and memory functions, stack
# canaries, read-only relocations bound at start-up, and position-independent executables.
# Sanitizer builds go without: they check the same things their own way.
if(CMAKE_SYSTEM_NAME STREQUAL "Linux" AND NOT TAPLORE_SANITIZE)
    include(CheckPIESupported)
    check_pie_supported()
    set(CMAKE_POSITION_INDEPENDENT_CODE ON)
    # The checked functions need the optimiser; a debug build would only warn about them.
    add_compile_definitions($<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
    add_compile_options(-fstack-protector-strong)
    add_link_options(LINKER:-z,relro,-z,now)
endif()
