# Desktop entry, icons, manual pages, documentation and the Debian package
# built by cpack. A further program adds its binary to install(TARGETS) in the
# top CMakeLists.txt and its manual page here with one tessary_man_page line.

# Files Debian keeps compressed (gzip -9n: no name or time stamp, so the same
# text gives the same bytes). Made when CMake configures, so that a package
# built from one target still holds them.
function(tessary_gzip source output)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
  get_filename_component(folder ${output} DIRECTORY)
  file(MAKE_DIRECTORY ${folder})
  execute_process(COMMAND gzip -9n -c ${source} OUTPUT_FILE ${output} RESULT_VARIABLE gzip_status)
  if(NOT gzip_status EQUAL 0)
    message(FATAL_ERROR "gzip could not compress ${source}")
  endif()
endfunction()

# data/<program>.1, installed as man1/<program>.1.gz.
function(tessary_man_page program)
  tessary_gzip(${CMAKE_SOURCE_DIR}/data/${program}.1 ${CMAKE_BINARY_DIR}/man/${program}.1.gz)
  install(FILES ${CMAKE_BINARY_DIR}/man/${program}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()

if(UNIX)
  tessary_man_page(tessary-utility)
  tessary_man_page(tessary-print)
  tessary_man_page(tessary-register)
  tessary_man_page(tessary-gate)

  set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/tessary-utility)
  tessary_gzip(${CMAKE_SOURCE_DIR}/data/debian/changelog ${CMAKE_BINARY_DIR}/doc/changelog.gz)
  install(FILES ${CMAKE_BINARY_DIR}/doc/changelog.gz ${CMAKE_SOURCE_DIR}/data/debian/copyright
    DESTINATION ${doc_dir})
  file(GLOB example_label_files ${CMAKE_SOURCE_DIR}/examples/*.lbl)
  install(FILES ${example_label_files} DESTINATION ${doc_dir}/examples)
endif()

install(FILES ${CMAKE_SOURCE_DIR}/data/tessary-utility.desktop ${CMAKE_SOURCE_DIR}/data/tessary-gate.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# The label file type; shared-mime-info's trigger rebuilds the database on install.
install(FILES ${CMAKE_SOURCE_DIR}/data/tessary-utility.mime.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME tessary-utility.xml)
install(FILES ${CMAKE_SOURCE_DIR}/data/org.tessary.utility.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/data/tessary-utility.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 48x48 128x128 256x256)
  install(FILES ${CMAKE_SOURCE_DIR}/data/icons/${size}/tessary-utility.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}/apps)
endforeach()

set(TESSARY_MAINTAINER "Tessary Utility maintainers <maintainers@users.noreply.c-seed-d6c9cb01.example>"
  CACHE STRING "The Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessary-utility)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "print sheets of lane passes with Code 128 barcodes")
# The synopsis comes from the summary; CPack indents these lines and turns the
# empty one into the " ." that separates paragraphs.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "The window tessary-utility lays out sheets of lane passes on US Letter pass
stock and prints them: heading lines, the date each pass is valid on, and a
barcode with its pass number. Layouts are kept in label files.

tessary-print prints the same sheets from a label file and a list of rows,
for scripts, with options as lp takes them. tessary-register looks up the
register of issued passes both keep. tessary-gate checks passes at the door
against that register, from a barcode scanner or a camera, and admits each
pass once.")
set(CPACK_PACKAGE_CONTACT "${TESSARY_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TESSARY_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Debian ships stripped programs; the symbols go to a -dbgsym package when
# asked for (-DTESSARY_DEBUG_SYMBOLS_PACKAGE=ON). The install step leaves the
# programs whole: cmake/StripStagedPrograms.cmake splits the symbols off
# first, then strips. (CPack's own debug package lists its files in md5sums
# by their build paths, and has no copyright, which lintian refuses.)
option(TESSARY_DEBUG_SYMBOLS_PACKAGE "Build a tessary-utility-dbgsym package beside the program's" OFF)
set(CPACK_STRIP_FILES OFF)
set(CPACK_TESSARY_DEBUG_SYMBOLS_PACKAGE ${TESSARY_DEBUG_SYMBOLS_PACKAGE})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/StripStagedPrograms.cmake)
# dpkg-shlibdeps reads the libraries the program links; the rest is loaded at
# run time (the platform and CUPS plugins come with libqt6gui6 and
# libqt6printsupport6, which the linked libraries already pull in).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation")
# The register of issued passes loads Qt's SQLite driver at run time (on by
# default), and Qt's PostgreSQL driver for a register shared between desks.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libqt6sql6-psql")

# Every time in the package (its members, the gzip headers, the ar archive)
# is SOURCE_DATE_EPOCH when cpack sees it set: the same tree then gives the
# same bytes. Without it from outside, it is the last changelog entry's date,
# as in a Debian source package's build.
if(UNIX)
  execute_process(COMMAND dpkg-parsechangelog -l ${CMAKE_SOURCE_DIR}/data/debian/changelog -STimestamp
    OUTPUT_VARIABLE TESSARY_CHANGELOG_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE changelog_status ERROR_QUIET)
  if(changelog_status EQUAL 0 AND TESSARY_CHANGELOG_EPOCH MATCHES "^[0-9]+$")
    set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackSourceDate.cmake)
    file(WRITE ${CPACK_PROJECT_CONFIG_FILE}
      "if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})\n  set(ENV{SOURCE_DATE_EPOCH} ${TESSARY_CHANGELOG_EPOCH})\nendif()\n")
  else()
    message(STATUS "dpkg-parsechangelog did not date data/debian/changelog: the package's times are cpack's")
  endif()
endif()
include(CPack)
