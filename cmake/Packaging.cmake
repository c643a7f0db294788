# `make deb`: a Debian package of the same installation, placed under /usr.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ruvo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Ruvo-Team)
set(CPACK_PACKAGE_CONTACT Ruvo-Team)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "personal organiser with year and week overviews")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Ruvo keeps one person's appointments in twenty coloured groups, repeating"
    "series, German public holidays, an address book whose birthdays appear in"
    "the calendar, a to-do list and notes. It shows the calendar as a year and a"
    "week overview, reminds of what is due from the system tray, prints, exports"
    "and backs up its SQLite database. The user interface is German.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER Ruvo-Team)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The library dependencies come from dpkg-shlibdeps; Qt needs its platform plugins on top of them,
# the Wayland one included, so a Wayland session runs the program natively. QtKeychain is named
# as well: without it the sync password had nowhere safe to go.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-wayland, libqt6keychain1")
# The interface asks for Arial (metric-compatible Liberation Sans) and German texts in Qt's own dialogs.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
