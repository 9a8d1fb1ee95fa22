# The Debian package, built by CPack from the install rules (scripts/package.sh).
# Its dependencies come from the binaries (dpkg-shlibdeps) plus the fonts the
# window is drawn with; libportline gets a shlibs file.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME portbench)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quill Sensor Co., Ltd.")
set(CPACK_PACKAGE_CONTACT "PortBench developers <portbench@quill-sensor.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "serial-port debugging terminal with load-cell commands")
set(CPACK_PACKAGE_DESCRIPTION
  "PortBench checks that an instrument or a digital sensor talks correctly over
a serial line: open a port with line parameters such as 9600,n,8,1, send
hexadecimal or plain-text data once or on a timer, watch the replies as
hexadecimal bytes or characters, switch DTR and RTS, and run the read-address,
write-address and read-A/D-code commands of digital load cells. The window
exists in Chinese and in English.

The package also holds loadcell, which commissions load cells from the
command line and from scripts, portsim, a virtual load cell on a
pseudo-terminal, and Portline, the serial-port library, with its header,
pkg-config file and CMake package for other programs.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.quill-sensor.com")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
# WenQuanYi Micro Hei for the Chinese texts; fonts-liberation2 for Liberation
# Sans (the panels) and Liberation Mono (the fixed-pitch display and send box).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-microhei, fonts-liberation2")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# No maintainer scripts: ldconfig runs from a trigger; the menu, icon, metadata
# and manual-page caches are refreshed by their own packages' triggers.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_SOURCE_DIR}/triggers)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_SOURCE_DIR}/without_ldconfig_scripts.cmake)

include(CPack)
