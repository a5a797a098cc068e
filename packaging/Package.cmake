# The Debian package: `cpack -G DEB` in a build folder makes
# nkq-workstation_<version>_<arch>.deb from the install rules of the whole
# project, together with the icon and the man page of nkq added here.

install(FILES nkq-workstation.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Debian wants manual pages compressed, reproducibly (-n: no name or time).
find_program(NKQ_GZIP gzip REQUIRED)
set(nkq_man_page ${CMAKE_CURRENT_BINARY_DIR}/nkq.1)
add_custom_command(
  OUTPUT ${nkq_man_page}.gz
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_SOURCE_DIR}/nkq.1 ${nkq_man_page}
  COMMAND ${NKQ_GZIP} -9 -n -f ${nkq_man_page}
  DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/nkq.1
  COMMENT "Compressing the nkq man page"
  VERBATIM)
add_custom_target(nkq_man_page ALL DEPENDS ${nkq_man_page}.gz)
install(FILES ${nkq_man_page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_PACKAGE_NAME nkq-workstation)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Orvenik")
set(CPACK_PACKAGE_CONTACT "NKQ workstation maintainers <nkq-workstation@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Workstation for setting up and checking Morvasta NKQ GSM/GPRS modems")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "A desktop window (nkq-workstation) and a command line (nkq) that read, write,\n"
    "save and re-flash the parameters of Morvasta NKQ modems over a serial line,\n"
    "and a virtual modem on a pseudo-terminal (nkq-virtual-modem) for training.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# The shared libraries the programs link (Qt, the C++ runtime) become the
# package's dependencies; needs dpkg-shlibdeps (dpkg-dev).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the window needs besides libraries: the font its fixed layout is drawn
# for, and Qt's translations, so Qt's own buttons and dialogs read in Russian.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
include(CPack)
