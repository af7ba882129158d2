# Installation and the Debian package: the program, its help page, its desktop entry, its icons
# and its AppStream metainfo; zelbin-render and its manual page; the licence. `cmake --install`
# and `cpack -G DEB` both use these rules.

set(ZELBIN_APP_ID org.zelbin.Zelbin)
set(_zelbin_res ${PROJECT_SOURCE_DIR}/res)

# The help page is also copied into the build tree, at the same place relative to the program
# (build/<preset>/app/../share/...) as once installed (bin/../share/...), so that the links find it
# when the program runs from the build tree.
configure_file(${_zelbin_res}/help/index.html ${PROJECT_BINARY_DIR}/share/zelbin/help/index.html COPYONLY)

if(TARGET zelbin)
    install(TARGETS zelbin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(TARGETS zelbin-render RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Debian installs manual pages compressed, without a name or time stamp in the gzip header (-n).
if(NOT WIN32)
    set(_zelbin_render_man ${PROJECT_BINARY_DIR}/share/man/man1/zelbin-render.1.gz)
    file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/share/man/man1)
    add_custom_command(OUTPUT ${_zelbin_render_man}
        COMMAND sh -c "gzip -9n -c \"$1\" >\"$2\"" sh ${PROJECT_SOURCE_DIR}/zelbin-render/zelbin-render.1
                ${_zelbin_render_man}
        DEPENDS ${PROJECT_SOURCE_DIR}/zelbin-render/zelbin-render.1
        VERBATIM)
    add_custom_target(zelbin-render-manual ALL DEPENDS ${_zelbin_render_man})
    install(FILES ${_zelbin_render_man} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
# The licence, where Debian looks for it: the GNU GPL 3 or later, whose text Debian systems hold
# in /usr/share/common-licenses/GPL-3.
install(FILES ${_zelbin_res}/debian/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zelbin)
install(FILES ${_zelbin_res}/help/index.html DESTINATION ${CMAKE_INSTALL_DATADIR}/zelbin/help)
install(FILES ${_zelbin_res}/desktop/${ZELBIN_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_zelbin_res}/desktop/${ZELBIN_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(_size 16 22 24 32 48 64 128 256)
    install(FILES ${_zelbin_res}/icon/zelbin-${_size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps
        RENAME ${ZELBIN_APP_ID}.png)
endforeach()
install(FILES ${_zelbin_res}/icon/zelbin.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
    RENAME ${ZELBIN_APP_ID}.svg)

# The Debian package, built by `make package` (cpack -G DEB) after the build. Packaging installs
# what is built and does not rebuild the whole tree first, so the package check of the test
# suite stays quick.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zelbin)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Morse code receiving trainer with a French interface")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Zelbin teaches you to receive Morse code by ear. It plays the letters A-Z and the digits 0-9 as a
sine tone at the pitch and speed you choose, with keyboard practice, random dictation with a
score, and dictation of a text file. zelbin-render writes the same sound to WAV, FLAC, Ogg,
Opus or MP3 files.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_CONTACT "Zelbin maintainers <zelbin@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps names the libraries the program links, Qt 6 and PortAudio among them, with
# their versions; the xcb platform plugin that Qt loads at run time is named here.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# Qt's own buttons and file dialog in French; without it they stay in English.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)

# The package check of the test suite: builds the .deb from this build tree and inspects it.
if(ZELBIN_BUILD_TESTS AND TARGET zelbin AND NOT ZELBIN_SANITIZER)
    add_test(NAME PackageTest
        COMMAND ${PROJECT_SOURCE_DIR}/tools/run-test ${PROJECT_SOURCE_DIR}/tools/check-package ${PROJECT_BINARY_DIR})
    set_tests_properties(PackageTest PROPERTIES LABELS package TIMEOUT 300 RUN_SERIAL ON)
endif()
