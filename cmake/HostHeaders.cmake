# Header-only libraries from the host's Debian packages. A cross compiler must not search the
# host's include folder (its C library would stand in for the target's), so a folder of the
# build's own links the library's folder alone, and an imported target carries it.
#   taplore_host_headers(TARGET Eigen3::Eigen FOLDER /usr/include/eigen3/Eigen NAME Eigen)
# makes #include <Eigen/...> find the host's headers.
function(taplore_host_headers)
    cmake_parse_arguments(ARG "" "TARGET;FOLDER;NAME" "" ${ARGN})
    if(TARGET ${ARG_TARGET})
        return()
    endif()
    set(links ${PROJECT_BINARY_DIR}/host-headers/${ARG_NAME})
    file(MAKE_DIRECTORY ${links})
    file(CREATE_LINK ${ARG_FOLDER} ${links}/${ARG_NAME} SYMBOLIC)
    add_library(${ARG_TARGET} INTERFACE IMPORTED GLOBAL)
    target_include_directories(${ARG_TARGET} INTERFACE ${links})
endfunction()
