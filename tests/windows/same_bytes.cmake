# Runs the Windows and the Linux taplore-design on the same requests and fails unless standard
# output, standard error and the exit status are the same bytes. The saved-file text only:
# full, c and the response print the last digits of sin, cos and log10, and MinGW's C library
# computes those differently from glibc.
# -DWINDOWS_EXE=<.exe> -DLINUX_EXE=<program> -DRUN=<what runs a Windows program> -DWORK=<folder>
file(MAKE_DIRECTORY ${WORK})
set(requests
    "--order 511 --rate 8000 --low 400 --high 2400"
    "--order 4095 --rate 44100 --low 0 --high 1000"
    "--order 400 --rate 4.41E4 --low 1208 --high 22050"
    "--order 301 --rate 8000 --low 32 --high 0"
    "--order 65535 --rate 48000 --low 300 --high 3400"
    "--order 511 --rate 8000 --high 2400"
    "--order 12x --rate 8000 --low 400 --high 2400"
    "--order 511 --rate 8000 --low 400 --high 4001")
set(failed "")
foreach(request IN LISTS requests)
    separate_arguments(words UNIX_COMMAND "${request}")
    execute_process(COMMAND ${RUN} ${WINDOWS_EXE} ${words} RESULT_VARIABLE windows_status
        OUTPUT_FILE ${WORK}/windows.out ERROR_FILE ${WORK}/windows.err)
    execute_process(COMMAND ${LINUX_EXE} ${words} RESULT_VARIABLE linux_status
        OUTPUT_FILE ${WORK}/linux.out ERROR_FILE ${WORK}/linux.err)
    foreach(stream out err)
        execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files
            ${WORK}/windows.${stream} ${WORK}/linux.${stream} RESULT_VARIABLE differs)
        if(differs)
            string(APPEND failed "\n  ${request}: standard ${stream} differs")
        endif()
    endforeach()
    if(NOT windows_status STREQUAL linux_status)
        string(APPEND failed "\n  ${request}: exit ${windows_status}, on Linux ${linux_status}")
    endif()
endforeach()
if(failed)
    message(FATAL_ERROR "Windows and Linux disagree:${failed}")
endif()
