# Run by cpack (CPACK_PRE_BUILD_SCRIPTS) on the staged package, before it is
# packed: strips every program in usr/bin as dh_strip does. When the -dbgsym
# package is asked for (CPACK_TESSARY_DEBUG_SYMBOLS_PACKAGE), each program's
# debugging data is first kept, compressed, under its build id, the stripped
# program is linked to it, and those files become tessary-utility-dbgsym's
# .deb beside the program's, every time in it SOURCE_DATE_EPOCH.

function(run)
  execute_process(COMMAND ${ARGN} COMMAND_ERROR_IS_FATAL ANY)
endfunction()

set(debug_package ${CPACK_PACKAGE_NAME}-dbgsym)
set(debug_root ${CPACK_TOPLEVEL_DIRECTORY}/${debug_package})
file(REMOVE_RECURSE ${debug_root})
set(build_ids "")

file(GLOB programs ${CPACK_TEMPORARY_DIRECTORY}/usr/bin/*)
foreach(program IN LISTS programs)
  if(CPACK_TESSARY_DEBUG_SYMBOLS_PACKAGE)
    execute_process(COMMAND readelf -n ${program} OUTPUT_VARIABLE notes COMMAND_ERROR_IS_FATAL ANY)
    if(NOT notes MATCHES "Build ID: ([0-9a-f][0-9a-f])([0-9a-f]+)")
      message(FATAL_ERROR "${program} has no build id to file its debugging data under")
    endif()
    list(APPEND build_ids ${CMAKE_MATCH_1}${CMAKE_MATCH_2})
    set(debug_file ${debug_root}/usr/lib/debug/.build-id/${CMAKE_MATCH_1}/${CMAKE_MATCH_2}.debug)
    get_filename_component(debug_folder ${debug_file} DIRECTORY)
    file(MAKE_DIRECTORY ${debug_folder})
    run(objcopy --only-keep-debug --compress-debug-sections ${program} ${debug_file})
    file(CHMOD ${debug_file} PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  endif()
  run(strip --remove-section=.comment --remove-section=.note ${program})
  if(CPACK_TESSARY_DEBUG_SYMBOLS_PACKAGE)
    run(objcopy --add-gnu-debuglink=${debug_file} ${program})
  endif()
endforeach()

if(NOT CPACK_TESSARY_DEBUG_SYMBOLS_PACKAGE)
  return()
endif()

# The documentation is the program package's, as in Debian's own -dbgsym packages.
file(MAKE_DIRECTORY ${debug_root}/usr/share/doc ${debug_root}/DEBIAN)
file(CREATE_LINK ${CPACK_PACKAGE_NAME} ${debug_root}/usr/share/doc/${debug_package} SYMBOLIC)

file(GLOB_RECURSE debug_files RELATIVE ${debug_root} ${debug_root}/usr/lib/debug/*)
list(SORT debug_files)
set(md5sums "")
set(installed_kib 0)
foreach(debug_file IN LISTS debug_files)
  file(MD5 ${debug_root}/${debug_file} md5)
  string(APPEND md5sums "${md5}  ${debug_file}\n")
  file(SIZE ${debug_root}/${debug_file} bytes)
  math(EXPR installed_kib "${installed_kib} + (${bytes} + 1023) / 1024")
endforeach()
file(WRITE ${debug_root}/DEBIAN/md5sums "${md5sums}")

execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE architecture
  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
set(version ${CPACK_PACKAGE_VERSION})
list(JOIN build_ids " " build_ids)
file(WRITE ${debug_root}/DEBIAN/control "Package: ${debug_package}
Source: ${CPACK_PACKAGE_NAME}
Version: ${version}
Auto-Built-Package: debug-symbols
Architecture: ${architecture}
Maintainer: ${CPACK_DEBIAN_PACKAGE_MAINTAINER}
Installed-Size: ${installed_kib}
Depends: ${CPACK_PACKAGE_NAME} (= ${version})
Section: debug
Priority: optional
Description: debug symbols for ${CPACK_PACKAGE_NAME}
Build-Ids: ${build_ids}
")

# Modes and times of the package's own, not of this umask and this moment.
run(chmod -R u=rwX,go=rX ${debug_root})
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  run(find ${debug_root} -exec touch -h -d @$ENV{SOURCE_DATE_EPOCH} {} +)
endif()
# The debugging sections are compressed already (objcopy above): xz at its
# least level packs them as small as at its default, in a quarter of the time.
run(dpkg-deb --root-owner-group -Zxz -z1 --build ${debug_root}
  ${CPACK_PACKAGE_DIRECTORY}/${debug_package}_${version}_${architecture}.deb)
