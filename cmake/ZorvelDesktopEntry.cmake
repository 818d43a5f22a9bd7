# Run at install time (see ZorvelInstall.cmake): writes the menu entry from
# ZORVEL_DESKTOP_TEMPLATE, with Exec naming the launcher ZORVEL_LAUNCHER_PATH
# below the prefix the installation goes to, and installs it into
# ZORVEL_APPLICATIONS_DIR below that prefix.

# A path as the program of a desktop entry's Exec key: quoted when it holds a
# character the key reserves, then escaped as a string value.
function(zorvel_exec_program out_var path)
    if(path MATCHES "\n|\r")
        message(FATAL_ERROR "A desktop entry cannot name a program whose path holds a line break: ${path}")
    endif()
    string(REPLACE "%" "%%" program "${path}")
    if(program MATCHES "[ \t\"'\\\\><~|&;$*?#()`]")
        foreach(reserved "\\" "\"" "`" "$")
            string(REPLACE "${reserved}" "\\${reserved}" program "${program}")
        endforeach()
        set(program "\"${program}\"")
        string(REPLACE "\\" "\\\\" program "${program}")
    endif()
    set(${out_var} "${program}" PARENT_SCOPE)
endfunction()

zorvel_exec_program(ZORVEL_EXEC "${CMAKE_INSTALL_PREFIX}/${ZORVEL_LAUNCHER_PATH}")
# One folder per destination: installations to different places may run at once.
string(MD5 destination "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(entry "${ZORVEL_STAGING_DIR}/desktop-${destination}/${ZORVEL_DESKTOP_ID}.desktop")
configure_file("${ZORVEL_DESKTOP_TEMPLATE}" "${entry}" @ONLY)
file(INSTALL "${entry}" DESTINATION "${CMAKE_INSTALL_PREFIX}/${ZORVEL_APPLICATIONS_DIR}")
