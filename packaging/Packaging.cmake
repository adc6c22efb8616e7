# The help beside the built program, installation, and the Debian package.
include(GNUInstallDirs)

# "INFO" looks for hilfe/inhalt.html next to the executable, so a plain build
# finds its help without installing.
file(GLOB_RECURSE KESTROVA_HELP_FILES CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR}/hilfe
    ${PROJECT_SOURCE_DIR}/hilfe/*)
foreach(help_file IN LISTS KESTROVA_HELP_FILES)
    configure_file(${PROJECT_SOURCE_DIR}/hilfe/${help_file} ${PROJECT_BINARY_DIR}/hilfe/${help_file} COPYONLY)
endforeach()

install(TARGETS kestrova RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The program finds it as ../share/kestrova/hilfe from its own folder.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/hilfe/ DESTINATION ${CMAKE_INSTALL_DATADIR}/kestrova/hilfe)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/kestrova.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/kestrova.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_PACKAGE_NAME kestrova)
set(CPACK_PACKAGE_VENDOR "Kestrova")
set(CPACK_PACKAGE_CONTACT "Kestrova <kestrova@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Recorder for the voice traffic of a radio circuit")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Kestrova watches the sound-card input beside a radio receiver and records every\n"
    "transmission as an 8-bit mono WAV file. It keeps the recordings of the last days,\n"
    "files them in a dated archive and plays them at normal or faster speed. Through the\n"
    "control lines of a serial port it can key a transmitter and read the squelch.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
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
libqt6widgets6 (>= 6.4), libqt6serialport6 (>= 6.4), qt6-qpa-plugins, qt6-translations-l10n, libportaudio2, libsamplerate0, libsndfile1")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xdg-utils")
include(CPack)
