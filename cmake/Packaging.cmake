# Desktop entry, icon and the Debian package built by cpack.
install(FILES ${CMAKE_SOURCE_DIR}/data/tessary-utility.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/data/tessary-utility.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessary-utility)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Prints sheets of lane passes with Code 128 barcodes")
set(CPACK_PACKAGE_CONTACT "Tessary Utility developers <tessary-utility@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# dpkg-shlibdeps reads the libraries the program links; the rest is loaded at
# run time (the platform and CUPS plugins come with libqt6gui6 and
# libqt6printsupport6, which the linked libraries already pull in).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation")
include(CPack)
