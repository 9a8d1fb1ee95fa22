# Run by CPack after it built the packages; each is unpacked and built again
# with dpkg-deb, for two reasons:
# - CPack's DEB generator adds a postinst and a postrm that only call ldconfig
#   whenever a package holds a library in /usr/lib; libportline3's ldconfig
#   trigger (packaging/libportline3/triggers) does that job the Debian way, so
#   the two scripts go;
# - two builds of the same commit give the same bytes: every file gets the
#   commit's time (SOURCE_DATE_EPOCH, which dpkg-deb also takes for the archive
#   itself and its member order is sorted), and folders one mode whatever the umask.
set(epoch "$ENV{SOURCE_DATE_EPOCH}")
file(GLOB debug_packages "${CPACK_TOPLEVEL_DIRECTORY}/*.ddeb" "${CPACK_PACKAGE_DIRECTORY}/*.ddeb")
set(packages ${CPACK_PACKAGE_FILES} ${debug_packages})
list(REMOVE_DUPLICATES packages)
foreach(deb IN LISTS packages)
  set(tree "${CPACK_TOPLEVEL_DIRECTORY}/unpacked")
  file(REMOVE_RECURSE "${tree}")
  execute_process(COMMAND dpkg-deb --raw-extract "${deb}" "${tree}" COMMAND_ERROR_IS_FATAL ANY)
  foreach(script postinst postrm)
    if(NOT EXISTS "${tree}/DEBIAN/${script}")
      continue()
    endif()
    file(READ "${tree}/DEBIAN/${script}" text)
    string(REGEX REPLACE "[ \t\n]+" " " text "${text}")
    if(NOT text MATCHES "^#!/bin/sh set -e if \\[ \"\\$1\" = \"(configure|remove)\" \\]; then ldconfig fi $")
      message(FATAL_ERROR "${script} does more than call ldconfig: ${text}")
    endif()
    file(REMOVE "${tree}/DEBIAN/${script}")
  endforeach()
  if(deb MATCHES "\\.ddeb$")
    # CPack's debug-symbol packages list absolute build paths in their md5sums
    # and have no documents: their md5sums are made again, their .debug files
    # are not programs, and their document folder is their package's, as
    # Debian's own -dbgsym packages have it.
    file(READ "${tree}/DEBIAN/control" control)
    string(REGEX MATCH "Package: ([^\n]+)-dbgsym" name "${control}")
    file(MAKE_DIRECTORY "${tree}/usr/share/doc")
    file(CREATE_LINK "${CMAKE_MATCH_1}" "${tree}/usr/share/doc/${CMAKE_MATCH_1}-dbgsym" SYMBOLIC)
    execute_process(COMMAND find usr -type f -exec chmod 0644 {} +
      WORKING_DIRECTORY "${tree}" COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND find usr -type f -exec md5sum {} +
      WORKING_DIRECTORY "${tree}" OUTPUT_FILE "${tree}/DEBIAN/md5sums.unsorted" COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND env LC_ALL=C sort -k 2 "${tree}/DEBIAN/md5sums.unsorted"
      OUTPUT_FILE "${tree}/DEBIAN/md5sums" COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE "${tree}/DEBIAN/md5sums.unsorted")
  endif()
  execute_process(COMMAND find "${tree}" -type d -exec chmod 0755 {} + COMMAND_ERROR_IS_FATAL ANY)
  if(epoch)
    execute_process(COMMAND find "${tree}" -exec touch --no-dereference --date=@${epoch} {} +
      COMMAND_ERROR_IS_FATAL ANY)
  endif()
  execute_process(COMMAND dpkg-deb --root-owner-group -Zxz --build "${tree}" "${deb}"
    COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE "${tree}")
endforeach()
