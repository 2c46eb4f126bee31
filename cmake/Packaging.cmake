# Desktop entry, icon and the Debian package built by cpack.
install(FILES ${CMAKE_SOURCE_DIR}/data/tessary-utility.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/data/tessary-utility.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# tessary-print's manual page, compressed as Debian keeps them (gzip -9n: no
# name or time stamp, so the same page gives the same bytes). Made when CMake
# configures, so that a package built from one target still holds it.
if(UNIX)
  set(man_source ${CMAKE_SOURCE_DIR}/data/tessary-print.1)
  set(man_page ${CMAKE_BINARY_DIR}/man/tessary-print.1.gz)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${man_source})
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/man)
  execute_process(COMMAND gzip -9n -c ${man_source} OUTPUT_FILE ${man_page} RESULT_VARIABLE gzip_status)
  if(NOT gzip_status EQUAL 0)
    message(FATAL_ERROR "gzip could not compress ${man_source}")
  endif()
  install(FILES ${man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

# tessary-register's manual page, made the same way.
if(UNIX)
  set(register_man_source ${CMAKE_SOURCE_DIR}/data/tessary-register.1)
  set(register_man_page ${CMAKE_BINARY_DIR}/man/tessary-register.1.gz)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${register_man_source})
  execute_process(COMMAND gzip -9n -c ${register_man_source} OUTPUT_FILE ${register_man_page}
    RESULT_VARIABLE register_gzip_status)
  if(NOT register_gzip_status EQUAL 0)
    message(FATAL_ERROR "gzip could not compress ${register_man_source}")
  endif()
  install(FILES ${register_man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessary-utility)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Prints sheets of lane passes with Code 128 barcodes")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "The window tessary-utility lays out sheets of lane passes and prints them;
tessary-print prints the same sheets from a label file and a list of rows,
for scripts.")
set(CPACK_PACKAGE_CONTACT "Tessary Utility developers <tessary-utility@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# dpkg-shlibdeps reads the libraries the program links; the rest is loaded at
# run time (the platform and CUPS plugins come with libqt6gui6 and
# libqt6printsupport6, which the linked libraries already pull in).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation")
# The register of issued passes loads Qt's SQLite driver at run time (on by
# default), and Qt's PostgreSQL driver for a register shared between desks.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libqt6sql6-psql")
include(CPack)
