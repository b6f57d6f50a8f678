# What an installed copy carries besides the programs and their data: the manual pages, the
# AppStream metainfo, the icons of the file types, and the Debian package made from it all by
# CPack (scripts/package.sh).
include(GNUInstallDirs)

# Manual pages: data/man/ holds their text; the list of kaede's commands is filled in at build
# time from `kaede --commands`.
set(KAEDE_MAN_DIR ${CMAKE_BINARY_DIR}/man)
set(KAEDE_MAN_PAGES "")
foreach(page kaede KaedeAddress KaedeZip)
  set(program "")
  set(depends "")
  if(page STREQUAL "kaede")
    set(program -DPROGRAM=$<TARGET_FILE:kaede>)
    set(depends kaede)
  endif()
  add_custom_command(
    OUTPUT ${KAEDE_MAN_DIR}/${page}.1 ${KAEDE_MAN_DIR}/${page}.1.gz
    COMMAND ${CMAKE_COMMAND} -DTEMPLATE=${CMAKE_SOURCE_DIR}/data/man/${page}.1.in -DOUTPUT=${KAEDE_MAN_DIR}/${page}.1
            -DVERSION=${PROJECT_VERSION} ${program} -P ${CMAKE_SOURCE_DIR}/cmake/MakeManPage.cmake
    DEPENDS ${CMAKE_SOURCE_DIR}/data/man/${page}.1.in ${CMAKE_SOURCE_DIR}/cmake/MakeManPage.cmake ${depends}
    VERBATIM
    COMMENT "Manual page ${page}(1)")
  list(APPEND KAEDE_MAN_PAGES ${KAEDE_MAN_DIR}/${page}.1.gz)
endforeach()
add_custom_target(kaede_man_pages ALL DEPENDS ${KAEDE_MAN_PAGES})
install(FILES ${KAEDE_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# AppStream metainfo, with the version and release date of the project.
set(KAEDE_METAINFO ${CMAKE_BINARY_DIR}/metainfo/org.kaedeproject.KaedeAddress.metainfo.xml)
set(KAEDE_METAINFO_URL "")
if(KAEDE_HOMEPAGE_URL)
  set(KAEDE_METAINFO_URL "  <url type=\"homepage\">${KAEDE_HOMEPAGE_URL}</url>\n")
endif()
configure_file(${CMAKE_SOURCE_DIR}/data/metainfo/org.kaedeproject.KaedeAddress.metainfo.xml.in ${KAEDE_METAINFO} @ONLY)
install(FILES ${KAEDE_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The file types' icons, under the names the MIME database gives them.
foreach(type address-book postcard-style)
  install(FILES ${CMAKE_SOURCE_DIR}/data/desktop/kaede-address.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/mimetypes
          RENAME application-x-kaede-${type}.svg)
endforeach()

# The Debian package: kaede-address_VERSION_ARCH.deb, its library dependencies found by
# dpkg-shlibdeps. The desktop, MIME and icon caches are refreshed by the triggers of the
# packages that own them, so the package needs no scripts of its own.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kaede-address)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Kaede Address developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Japanese address book that prints addressed postcards")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Kaede Address developers <kaede-address@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# the platform plug-ins of Qt (the window on X11 and Wayland) and the Japanese faces the cards
# and tables are set in are not libraries the programs link
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-ipafont-gothic, fonts-ipafont-mincho")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-noto-cjk")
# the synopsis is CPACK_PACKAGE_DESCRIPTION_SUMMARY; CPack indents these lines and marks the
# empty one as the paragraph break
set(CPACK_PACKAGE_DESCRIPTION "Kaede Address keeps books of Japanese addresses (names with readings, postal
codes and addresses, telephones, mails, classifications, relations and joint
names), lists them sorted by reading, and prints addressed postcards,
envelopes, labels and address tables in vertical or horizontal writing with
an exact print preview.

The national postal-code data is installed with it for look-ups in both
directions; KaedeZip updates it. The kaede command does the same without a
window and prints to PDF.")
set(CPACK_STRIP_FILES ON)
include(CPack)

# The package of this build, packed into a scratch folder and checked (not installed).
if(KAEDE_BUILD_TESTS)
  add_test(NAME package_contents COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-package.sh --build ${CMAKE_BINARY_DIR})
  set_tests_properties(package_contents PROPERTIES TIMEOUT 600)
endif()
