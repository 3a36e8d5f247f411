# Release packages. The Windows build makes zarnoglot-<version>-win64.zip, a
# folder that runs as unpacked: the six programs, the editor's start program
# zarnoGlotStart, the editor's configuration, the default vocabulary, the
# browser page, the user guide (CR LF) and the licences; and from the same
# files the per-user installer zarnoglot-<version>-win64.msi
# (windows/installer.cmake).
# The native build makes a .tar.gz and a .deb of the five console programs
# with man pages, and the page in share/zarnoglot.
set(consolePrograms zarnoGlotEncode zarnoGlotDecode zarnoGlotHarvest zarnoGlotShuffle zarnoGlotPack)
set(vocabularySources ${CMAKE_SOURCE_DIR}/data/README.md)
# The browser page comes from the web preset's build (scripts/package and
# scripts/test build it before they package).
set(ZG_WEB_PAGE ${CMAKE_SOURCE_DIR}/build/web/bin/zarnoglot.html CACHE FILEPATH
    "The browser page built by the web preset, for the packages")

# The notices of the libraries linked into zarnoGlotPack and inlined into
# the page: ours, the LGPL's text and the libraries' own copyright files,
# taken from the packages the build used.
if(WIN32)
  set(ZG_GCRYPT_COPYRIGHT /usr/share/doc/libgcrypt-mingw-w64-dev/copyright)
  set(ZG_GPG_ERROR_COPYRIGHT /usr/share/doc/libgpg-error-mingw-w64-dev/copyright)
else()
  set(ZG_GCRYPT_COPYRIGHT /usr/share/doc/libgcrypt20/copyright)
  set(ZG_GPG_ERROR_COPYRIGHT /usr/share/doc/libgpg-error0/copyright)
endif()
function(zg_install_notices destination)
  install(FILES ${CMAKE_SOURCE_DIR}/docs/third-party-notices.txt DESTINATION ${destination})
  install(FILES /usr/share/common-licenses/LGPL-2.1 DESTINATION ${destination} RENAME LGPL-2.1.txt)
  install(FILES ${ZG_GCRYPT_COPYRIGHT} DESTINATION ${destination} RENAME libgcrypt-copyright.txt)
  install(FILES ${ZG_GPG_ERROR_COPYRIGHT} DESTINATION ${destination} RENAME libgpg-error-copyright.txt)
  install(FILES ${CMAKE_SOURCE_DIR}/web/node_modules/hash-wasm/LICENSE DESTINATION ${destination}
          RENAME hash-wasm-LICENSE.txt)
  install(FILES ${CMAKE_SOURCE_DIR}/web/node_modules/pako/LICENSE DESTINATION ${destination}
          RENAME pako-LICENSE.txt)
endfunction()

set(CPACK_PACKAGE_NAME zarnoglot)
set(CPACK_PACKAGE_VENDOR "The ZarnoGlot developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Write any text as prose in an invented pseudo-language and read it back")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT "ZarnoGlot developers <zarnoglot@localhost>")

if(WIN32)
  install(TARGETS ${consolePrograms} zarnoGlotWriteW zarnoGlotStart RUNTIME DESTINATION .)
  install(FILES ${CMAKE_SOURCE_DIR}/editor/zarnoGlotWriteW.ini
                ${CMAKE_SOURCE_DIR}/data/sample.vcb
                ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/user-guide.txt
                ${CMAKE_SOURCE_DIR}/LICENSE
                ${ZG_WEB_PAGE}
          DESTINATION .)
  install(FILES ${vocabularySources} DESTINATION . RENAME vocabulary-sources.md)
  zg_install_notices(licences)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME zarnoglot-${PROJECT_VERSION}-win64)
  # The per-user installer zarnoglot-<version>-win64.msi, made from the ZIP
  # once cpack has made it, with the product's icon on its shortcut.
  set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/windows/installer.cmake)
  set(CPACK_ZG_ICON ${ZG_ICON})
else()
  set(CMAKE_INSTALL_DOCDIR share/doc/zarnoglot)
  include(GNUInstallDirs)
  install(TARGETS ${consolePrograms} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # Man pages are shipped compressed, as Debian packages keep them.
  set(manPages)
  foreach(program IN LISTS consolePrograms)
    set(page ${CMAKE_BINARY_DIR}/man/${program}.1.gz)
    add_custom_command(OUTPUT ${page}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
      COMMAND gzip -9n -c ${CMAKE_SOURCE_DIR}/docs/man/${program}.1 > ${page}
      DEPENDS ${CMAKE_SOURCE_DIR}/docs/man/${program}.1)
    list(APPEND manPages ${page})
  endforeach()
  add_custom_target(zgManPages ALL DEPENDS ${manPages})
  install(FILES ${manPages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${CMAKE_SOURCE_DIR}/data/sample.vcb ${ZG_WEB_PAGE} DESTINATION ${CMAKE_INSTALL_DATADIR}/zarnoglot)
  install(FILES ${CMAKE_SOURCE_DIR}/docs/user-guide.txt ${CMAKE_SOURCE_DIR}/LICENSE
          DESTINATION ${CMAKE_INSTALL_DOCDIR})
  install(FILES ${vocabularySources} DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME vocabulary-sources.md)
  zg_install_notices(${CMAKE_INSTALL_DOCDIR}/licences)
  set(CPACK_GENERATOR TGZ DEB)
  set(CPACK_PACKAGE_FILE_NAME zarnoglot-${PROJECT_VERSION}-linux-x86_64)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6, libgcc-s1, zlib1g, libgcrypt20 (>= 1.10)")
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
endif()

include(CPack)
