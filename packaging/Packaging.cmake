# The help beside the built program, installation, and the Debian package.
include(GNUInstallDirs)

# "INFO" looks for hilfe/inhalt.html next to the executable, so a plain build
# finds its help without installing.
file(GLOB_RECURSE KESTROVA_HELP_FILES CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR}/hilfe
    ${PROJECT_SOURCE_DIR}/hilfe/*)
foreach(help_file IN LISTS KESTROVA_HELP_FILES)
    configure_file(${PROJECT_SOURCE_DIR}/hilfe/${help_file} ${PROJECT_BINARY_DIR}/hilfe/${help_file} COPYONLY)
endforeach()

install(TARGETS kestrova kestrova-headless RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The program finds it as ../share/kestrova/hilfe from its own folder.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/hilfe/ DESTINATION ${CMAKE_INSTALL_DATADIR}/kestrova/hilfe)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/kestrova.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/kestrova.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The recorder without a desktop as a service: for the whole machine with a user
# of its own (created from sysusers.d by the package), and for one user. systemd
# looks below the prefix's lib, never the multiarch library folder.
configure_file(${CMAKE_CURRENT_LIST_DIR}/systemd/kestrova.service.in
    ${PROJECT_BINARY_DIR}/packaging/system/kestrova.service @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/systemd/kestrova-user.service.in
    ${PROJECT_BINARY_DIR}/packaging/user/kestrova.service @ONLY)
# Several circuits on one machine: one instance each, kestrova@NAME.
configure_file(${CMAKE_CURRENT_LIST_DIR}/systemd/kestrova@.service.in
    ${PROJECT_BINARY_DIR}/packaging/system/kestrova@.service @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/systemd/kestrova-leitstelle.service.in
    ${PROJECT_BINARY_DIR}/packaging/system/kestrova-leitstelle.service @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/packaging/system/kestrova.service
    ${PROJECT_BINARY_DIR}/packaging/system/kestrova@.service
    ${PROJECT_BINARY_DIR}/packaging/system/kestrova-leitstelle.service DESTINATION lib/systemd/system)
install(FILES ${PROJECT_BINARY_DIR}/packaging/user/kestrova.service DESTINATION lib/systemd/user)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/systemd/kestrova.sysusers DESTINATION lib/sysusers.d
    RENAME kestrova.conf)

# Manual pages, English and German, and the changelog are installed compressed,
# as Debian keeps them; -n leaves the time out, so a rebuild gives the same bytes.
find_program(KESTROVA_GZIP gzip REQUIRED)
set(KESTROVA_GZIPPED)
function(kestrova_gzip source name)
    set(output ${PROJECT_BINARY_DIR}/packaging/${name}.gz)
    # Make, unlike Ninja, does not create an output's folder (man/, man/de/) itself.
    get_filename_component(folder ${output} DIRECTORY)
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
        COMMAND ${KESTROVA_GZIP} -9nc ${source} > ${output}
        DEPENDS ${source} VERBATIM)
    set(KESTROVA_GZIPPED ${KESTROVA_GZIPPED} ${output} PARENT_SCOPE)
endfunction()
kestrova_gzip(${CMAKE_CURRENT_LIST_DIR}/man/kestrova.1 man/kestrova.1)
kestrova_gzip(${CMAKE_CURRENT_LIST_DIR}/man/kestrova.de.1 man/de/kestrova.1)
kestrova_gzip(${CMAKE_CURRENT_LIST_DIR}/changelog.Debian changelog.Debian)
add_custom_target(kestrova_gzipped ALL DEPENDS ${KESTROVA_GZIPPED})

install(FILES ${PROJECT_BINARY_DIR}/packaging/man/kestrova.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_BINARY_DIR}/packaging/man/de/kestrova.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/de/man1)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${PROJECT_BINARY_DIR}/packaging/changelog.Debian.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kestrova)
# Commands to run after each recording, for KestrovaNachAufnahme.ini.
install(FILES ${PROJECT_SOURCE_DIR}/examples/sprache-zu-text.sh
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kestrova/examples)

set(CPACK_PACKAGE_NAME kestrova)
set(CPACK_PACKAGE_VENDOR "Kestrova")
# No mailbox exists yet; the reserved domain says so rather than pretending one.
set(CPACK_PACKAGE_CONTACT "Kestrova <kestrova@kestrova.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Recorder for the voice traffic of a radio circuit")
# Lines of at most 80 characters, as Debian's tools show them.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Kestrova watches the sound-card input beside a radio receiver and records\n"
    "every transmission as an 8-bit mono WAV file. It keeps the recordings of the\n"
    "last days, files them in a dated archive and plays them at normal or faster\n"
    "speed. Through the control lines of a serial port it can key a transmitter\n"
    "and read the squelch.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# The Debian revision of the package, as in changelog.Debian.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://localhost/kestrova")
# Written out so the package says what a Debian 12 desktop must bring: the program
# uses symbols of Qt 6.4 and glibc 2.34, and the xcb platform plugin lives in
# qt6-qpa-plugins, without which no window can open; qt6-translations-l10n holds
# the German texts of the file and folder dialogs.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libc6 (>= 2.34), libstdc++6 (>= 5), libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), \
libqt6widgets6 (>= 6.4), libqt6serialport6 (>= 6.4), libqt6network6 (>= 6.4), libmicrohttpd12, libmosquitto1, qt6-qpa-plugins, qt6-translations-l10n, libportaudio2, libasound2, libsamplerate0, libsndfile1, zlib1g (>= 1:1.2.9), libarchive13")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xdg-utils")
# The service's user, and systemd told of the units.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/debian/postinst
    ${CMAKE_CURRENT_LIST_DIR}/debian/prerm ${CMAKE_CURRENT_LIST_DIR}/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
include(CPack)
