# The Debian package: `cpack -G DEB` in the build folder makes telvarim_<version>_amd64.deb with the two
# programs, the menu entry, the icon, the AppStream metainfo and the man page of telvarim-cli.
#
# The programs carry the keys they were built with. A package built with the demo keys of keys/ would be
# useless (and unsafe) for a deployment, so the package is made only from a deployment's own keys
# (-DTELVARIM_KEYS_DIR=...) or when the build says so with -DTELVARIM_PACOTE_DEMO=ON (CI, trials).

option(TELVARIM_PACOTE_DEMO "Allow the package to carry the demo keys of keys/" OFF)
set(TELVARIM_URL_CAPTURA "https://telvarim.invalid/docs/principal.png" CACHE STRING
    "Address where the deployment publishes the main window's screenshot (AppStream metainfo)")

get_filename_component(_chaves "${TELVARIM_KEYS_DIR}" REALPATH)
get_filename_component(_chaves_demo "${PROJECT_SOURCE_DIR}/keys" REALPATH)
set(_pacote_permitido ON)
if(_chaves STREQUAL _chaves_demo AND NOT TELVARIM_PACOTE_DEMO)
  set(_pacote_permitido OFF)
endif()

include(GNUInstallDirs)
install(TARGETS telvarim-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET telvarim)
  install(TARGETS telvarim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES packaging/br.com.quintaro.Telvarim.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/telvarim.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
configure_file(packaging/br.com.quintaro.Telvarim.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/br.com.quintaro.Telvarim.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/br.com.quintaro.Telvarim.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES packaging/telvarim-cli.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_PACKAGE_NAME telvarim)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quintaro")
set(CPACK_PACKAGE_CONTACT "Quintaro <suporte@telvarim.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Telvarim - recarga de cartões de transporte (módulo da empresa)")
set(CPACK_PACKAGE_DESCRIPTION
    "Opens the sealed recharge file of the transit operator, shows the card holders per card type and tariff, \
lets an operator type or import the values, prints the listing, saves drafts and writes the sealed request.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# Data the programs use at run time that no library link reveals: Qt's Portuguese texts and the report fonts.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n, fonts-liberation, qt6-qpa-plugins")
set(CPACK_GENERATOR DEB)
if(NOT _pacote_permitido)
  # cpack stops here, with the reason, instead of packaging the demo keys.
  set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/PacoteRecusado.cmake)
endif()
include(CPack)
