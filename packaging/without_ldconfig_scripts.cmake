# Run by CPack after it built the package. CPack's DEB generator adds a postinst
# and a postrm that only call ldconfig whenever a package holds a library in
# /usr/lib; the package's ldconfig trigger (packaging/triggers) does that job the
# Debian way, so the package is rebuilt without the two scripts.
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  set(tree "${CPACK_TOPLEVEL_DIRECTORY}/without-scripts")
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
  execute_process(COMMAND dpkg-deb --root-owner-group -Zxz --build "${tree}" "${deb}"
    COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE "${tree}")
endforeach()
