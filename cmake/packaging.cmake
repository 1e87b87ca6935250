# The Debian package: `cpack -G DEB` in a build folder makes pvz-viewer_VERSION_ARCH.deb with the
# program, its desktop entry, icon, AppStream metadata and manual page. The Qt libraries it links
# become dependencies through dpkg-shlibdeps; declared by hand are the fonts its layout is
# measured with, the Wayland platform plugin (a Wayland-only session then runs natively) and
# the SVG plugins that draw its icon. Qt's translations are recommended.

set(PVZ_MANUAL_PAGE ${CMAKE_BINARY_DIR}/pvz-viewer.1.gz)
add_custom_command(
  OUTPUT ${PVZ_MANUAL_PAGE}
  COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/dist/pvz-viewer.1 > ${PVZ_MANUAL_PAGE}
  DEPENDS ${CMAKE_SOURCE_DIR}/dist/pvz-viewer.1
  COMMENT "Compressing the manual page"
  VERBATIM)
add_custom_target(pvz_manual_page ALL DEPENDS ${PVZ_MANUAL_PAGE})

install(FILES ${PVZ_MANUAL_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES dist/pvz-viewer.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo RENAME local.pvz.viewer.metainfo.xml)
install(FILES dist/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/pvz-viewer)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pvz-viewer)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Просмотр графиков developers <pvz-viewer@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "compare Earth rotation parameters of several sources on one chart")
# The extended description; cpack puts the summary line above it and indents it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "A desktop viewer that reads one plain-text file per source (up to eleven)
and plots UT1-UTC, its tide-corrected form UT1R, or the pole coordinates
Xp and Yp of every source over a window of whole weeks. It writes nothing.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, qt6-wayland, libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
include(CPack)

# The metadata the package carries is checked where the checkers are installed.
find_program(PVZ_APPSTREAMCLI appstreamcli)
find_program(PVZ_DESKTOP_FILE_VALIDATE desktop-file-validate)
if(PVZ_BUILD_TESTS)
  if(PVZ_APPSTREAMCLI)
    add_test(NAME dist.metainfo_valid COMMAND ${PVZ_APPSTREAMCLI} validate --no-net ${CMAKE_SOURCE_DIR}/dist/pvz-viewer.metainfo.xml)
  endif()
  # The package's contents and declared dependencies, as cpack writes them.
  add_test(NAME dist.package_contents
           COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR} -P ${CMAKE_SOURCE_DIR}/cmake/check_package.cmake)
  if(PVZ_DESKTOP_FILE_VALIDATE)
    add_test(NAME dist.desktop_entry_valid COMMAND ${PVZ_DESKTOP_FILE_VALIDATE} ${CMAKE_SOURCE_DIR}/dist/pvz-viewer.desktop)
  endif()
endif()
