# The Debian package: `cpack -G DEB` in the build folder makes telvarim_<version>_amd64.deb with the two
# programs, the menu entry, the icon, the AppStream metainfo and the man page of telvarim-cli.
#
# The programs carry the keys they were built with, and what they carry decides, not the folder the keys
# came from (a copy of keys/ elsewhere is still the demo keys):
# - a private key whose public half is central.pub is the central system's: whoever has the package could
#   make received files every installation accepts. A build with the central role (TELVARIM_CENTRAL) is
#   never packaged;
# - the demo keys of keys/ would be useless (and unsafe) for a deployment, so they are packaged only when the
#   build says so with -DTELVARIM_PACOTE_DEMO=ON (CI, trials).
# scripts/verifica_pacote.sh looks for the central system's private key in the packaged programs themselves.

option(TELVARIM_PACOTE_DEMO "Allow the package to carry the demo keys of keys/" OFF)
set(TELVARIM_URL_CAPTURA "https://telvarim.invalid/docs/principal.png" CACHE STRING
    "Address where the deployment publishes the main window's screenshot (AppStream metainfo)")

set(_recusa "")
foreach(_publica IN LISTS TELVARIM_PUBLICAS_DAS_PRIVADAS)
  if(_publica STREQUAL TELVARIM_CENTRAL_PUB_HEX)
    string(CONCAT _recusa "telvarim-cli carries the central system's private key (its public half is central.pub), "
                          "with which anyone could make received files that every installation accepts; package a "
                          "build configured with -DTELVARIM_CENTRAL=OFF")
  endif()
endforeach()
if(NOT _recusa AND NOT TELVARIM_PACOTE_DEMO)
  set(_demo "")
  foreach(_arquivo system.key central.pub)
    file(SHA256 "${TELVARIM_KEYS_DIR}/${_arquivo}" _deste)
    file(SHA256 "${PROJECT_SOURCE_DIR}/keys/${_arquivo}" _da_demo)
    if(_deste STREQUAL _da_demo)
      list(APPEND _demo ${_arquivo})
    endif()
  endforeach()
  if(_demo)
    list(JOIN _demo " and " _demo)
    string(CONCAT _recusa "this build carries the demo keys of keys/ (${_demo}, wherever they were copied); build "
                          "with -DTELVARIM_KEYS_DIR=<your keys> for a deployment, or -DTELVARIM_PACOTE_DEMO=ON to "
                          "package the demo")
  endif()
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
if(_recusa)
  # cpack stops here, with the reason, instead of packaging those keys.
  set(CPACK_TELVARIM_RECUSA "${_recusa}")
  set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/PacoteRecusado.cmake)
endif()
include(CPack)
