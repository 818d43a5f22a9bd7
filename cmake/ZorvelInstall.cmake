# Installing Zorvelshot like any desktop program: `cmake --install <build>
# [--prefix <folder>]` (DESTDIR staging works too), or a Debian package made by
# `cpack -G DEB` in the build folder. Below the prefix:
#
#   <libdir>/libZorvelKit.so.<version>   with its soname and name links, beside
#                                        the property browser it stands on
#   <libexecdir>/zorvelshot/Zorvelshot   the program, in a folder of its own so that
#                                        its folder "scripts" can stand beside it
#   <bindir>/zorvelshot                  a link to the program
#   <datadir>/applications/com.orvanta.Zorvelshot.desktop
#   <datadir>/icons/hicolor/<size>/apps/com.orvanta.Zorvelshot.png (and scalable .svg)
#
# The installed program and library find their libraries through a RUNPATH
# relative to their own place ($ORIGIN): the prefix can be anywhere, and the
# build folder, whose libraries the built program uses, is never asked.
include(GNUInstallDirs)

# The desktop's name for the program: reverse domain of the maker's web site.
set(ZORVEL_DESKTOP_ID com.orvanta.Zorvelshot)
set(ZORVEL_PROGRAM_DIR ${CMAKE_INSTALL_LIBEXECDIR}/zorvelshot)
set(ZORVEL_LAUNCHER zorvelshot)

# ---------------------------------------------------------------------------
# Libraries and program.
set_target_properties(ZorvelPropertyBrowser PROPERTIES
    VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
file(RELATIVE_PATH program_to_libdir ${CMAKE_INSTALL_FULL_LIBEXECDIR}/zorvelshot ${CMAKE_INSTALL_FULL_LIBDIR})
set_target_properties(Zorvelshot PROPERTIES INSTALL_RPATH "$ORIGIN/${program_to_libdir}")
# RUNPATH is not inherited: libZorvelKit finds the property browser itself.
set_target_properties(ZorvelKit PROPERTIES INSTALL_RPATH "$ORIGIN")

install(TARGETS ZorvelKit ZorvelPropertyBrowser LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(TARGETS Zorvelshot RUNTIME DESTINATION ${ZORVEL_PROGRAM_DIR})

# The link in bin/ is relative, so that it holds at any prefix. Whatever name
# the program is started by, it takes its settings file, its login item and its
# scripts folder from the executable file the link points to.
set(staging ${CMAKE_BINARY_DIR}/install)
file(RELATIVE_PATH launcher_target ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBEXECDIR}/zorvelshot/Zorvelshot)
file(MAKE_DIRECTORY ${staging})
file(CREATE_LINK ${launcher_target} ${staging}/${ZORVEL_LAUNCHER} SYMBOLIC)
install(FILES ${staging}/${ZORVEL_LAUNCHER} DESTINATION ${CMAKE_INSTALL_BINDIR})

# ---------------------------------------------------------------------------
# Menu entry and icons. The entry's Exec names the launcher at the prefix the
# installation goes to, which is known only when it runs.
install(CODE "
    set(ZORVEL_DESKTOP_TEMPLATE [[${CMAKE_SOURCE_DIR}/resources/desktop-entry.in]])
    set(ZORVEL_DESKTOP_ID [[${ZORVEL_DESKTOP_ID}]])
    set(ZORVEL_LAUNCHER_PATH [[${CMAKE_INSTALL_BINDIR}/${ZORVEL_LAUNCHER}]])
    set(ZORVEL_APPLICATIONS_DIR [[${CMAKE_INSTALL_DATADIR}/applications]])
    set(ZORVEL_STAGING_DIR [[${staging}]])
    include([[${CMAKE_SOURCE_DIR}/cmake/ZorvelDesktopEntry.cmake]])
")

# The mark at the sizes icon themes ask for, and the scalable drawing (the
# generator draws App<size>.png at these sizes, see ProgramImages.cpp).
set(ZORVEL_ICON_SIZES 16 22 24 32 48 64 128 256 512)
set(icon_images App.svg)
foreach(size ${ZORVEL_ICON_SIZES})
    list(APPEND icon_images App${size}.png)
endforeach()
zorvel_draw_images(icon_files ${CMAKE_BINARY_DIR}/generated/desktop-icons IMAGES ${icon_images})
add_custom_target(zorvel_desktop_icons ALL DEPENDS ${icon_files})
set(icon_theme ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES ${CMAKE_BINARY_DIR}/generated/desktop-icons/App.svg
    DESTINATION ${icon_theme}/scalable/apps RENAME ${ZORVEL_DESKTOP_ID}.svg)
foreach(size ${ZORVEL_ICON_SIZES})
    install(FILES ${CMAKE_BINARY_DIR}/generated/desktop-icons/App${size}.png
        DESTINATION ${icon_theme}/${size}x${size}/apps RENAME ${ZORVEL_DESKTOP_ID}.png)
endforeach()

# ---------------------------------------------------------------------------
# The Debian package: zorvelshot_<version>_<arch>.deb, its dependencies
# computed from the installed binaries by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zorvelshot)
set(CPACK_PACKAGE_VENDOR Orvanta)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "screen capture with an annotation editor")
set(CPACK_PACKAGE_DESCRIPTION
    "Zorvelshot captures a region, a window or the whole screen, lets you annotate the capture with lines, arrows, shapes and text, and saves it to an image file, copies it to the clipboard or prints it. It waits in the system tray.")
set(CPACK_PACKAGE_CONTACT "Orvanta <support@orvanta.com>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE http://www.orvanta.com/screen-capture-tool)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/ZorvelDebianTriggers.cmake)
include(CPack)
