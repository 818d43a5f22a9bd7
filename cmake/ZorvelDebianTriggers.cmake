# Run by CPack once it has built the Debian package (see ZorvelInstall.cmake).
#
# CPack refreshes the loader's cache for the libraries in /usr/lib with a
# postinst and a postrm script. A package with a postrm script keeps its record
# in dpkg's database after `apt remove` (state "rc", until it is purged), so the
# package uses dpkg's ldconfig trigger instead, as Debian's own library packages
# do; without scripts or configuration files, removing it leaves nothing behind.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
    set(tree "${CPACK_TOPLEVEL_DIRECTORY}/ldconfig-trigger")
    file(REMOVE_RECURSE "${tree}")
    execute_process(COMMAND dpkg-deb --raw-extract "${package}" "${tree}" RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "Cannot unpack ${package} to replace its scripts")
    endif()
    file(REMOVE "${tree}/DEBIAN/postinst" "${tree}/DEBIAN/postrm")
    file(WRITE "${tree}/DEBIAN/triggers" "activate-noawait ldconfig\n")
    execute_process(COMMAND dpkg-deb --root-owner-group --build "${tree}" "${package}"
        OUTPUT_QUIET RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "Cannot pack ${package} again with the ldconfig trigger")
    endif()
    file(REMOVE_RECURSE "${tree}")
endforeach()
