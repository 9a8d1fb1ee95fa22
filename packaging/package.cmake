# The Debian packages, built by CPack from the install components
# (scripts/package.sh), split as Debian splits a library:
#   libportline3     the shared library (component library)
#   libportline-dev  header, .so link, pkg-config file, CMake package, portline(3)
#   portbench        the window (component window)
#   portline-tools   loadcell and portsim, for a technician without a desktop:
#                    they need no Qt, so they get a package of their own
# and a -dbgsym package of each with its detached debug information.
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING IGNORE)
set(CPACK_COMPONENTS_ALL library development tools)
if(PORTBENCH_BUILD_GUI)
  list(APPEND CPACK_COMPONENTS_ALL window)
endif()
set(CPACK_PACKAGE_NAME portbench)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quill Sensor Co., Ltd.")
set(CPACK_PACKAGE_CONTACT "PortBench developers <portbench@quill-sensor.com>")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
# Stripping is left to the debug-symbol split, which needs the unstripped files.
set(CPACK_STRIP_FILES OFF)
set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.quill-sensor.com")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# dpkg-shlibdeps looks for libportline.so.3 in the build: the libportline3
# dependency itself comes from the component dependencies below.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/portline)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

# The packages' names and what each depends on besides what dpkg-shlibdeps finds;
# a component named in CPACK_COMPONENT_<name>_DEPENDS is depended on at this very
# version.
set(packages ${PORTBENCH_PACKAGES})
while(packages)
  list(POP_FRONT packages component package)
  string(TOUPPER ${component} COMPONENT)
  set(CPACK_DEBIAN_${COMPONENT}_PACKAGE_NAME ${package})
endwhile()
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS library)
set(CPACK_COMPONENT_WINDOW_DEPENDS library)
set(CPACK_COMPONENT_TOOLS_DEPENDS library)
# Until 3.6.2 one package named portbench held every file; the split packages
# take over theirs.
foreach(COMPONENT LIBRARY DEVELOPMENT TOOLS)
  set(CPACK_DEBIAN_${COMPONENT}_PACKAGE_REPLACES "portbench (<= 3.6.2)")
endforeach()
# WenQuanYi Micro Hei for the Chinese texts; fonts-liberation2 for Liberation
# Sans (the panels) and Liberation Mono (the fixed-pitch display and send box).
set(CPACK_DEBIAN_WINDOW_PACKAGE_DEPENDS "fonts-wqy-microhei, fonts-liberation2")

set(CPACK_DEBIAN_LIBRARY_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_WINDOW_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION electronics)

set(CPACK_DEBIAN_LIBRARY_DESCRIPTION "serial-port library of PortBench
Portline owns the serial port for the program that loads it: port set-up
from a line parameter text such as 9600,n,8,1, a background receive, send,
the DTR and RTS lines, and the read-address, write-address and
read-A/D-code exchanges of digital load cells, behind eleven plain C
functions.

This package holds the shared library.")
set(CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION "serial-port library of PortBench (development files)
Portline owns the serial port for the program that loads it: port set-up
from a line parameter text such as 9600,n,8,1, a background receive, send,
the DTR and RTS lines, and the read-address, write-address and
read-A/D-code exchanges of digital load cells, behind eleven plain C
functions.

This package holds what a program needs to build against it: the header
portline.h, a pkg-config file, a CMake package and the manual page
portline(3).")
set(CPACK_DEBIAN_WINDOW_DESCRIPTION "serial-port debugging terminal with load-cell commands
PortBench checks that an instrument or a digital sensor talks correctly over
a serial line: open a port with line parameters such as 9600,n,8,1, send
hexadecimal or plain-text data once or on a timer, watch the replies as
hexadecimal bytes or characters, switch DTR and RTS, and run the read-address,
write-address and read-A/D-code commands of digital load cells. The window
exists in Chinese and in English.

The command-line tools loadcell and portsim are in the package
portline-tools.")
set(CPACK_DEBIAN_TOOLS_DESCRIPTION "load-cell commissioning and a virtual load cell
loadcell commissions the digital load cells of a serial line from the
command line and from scripts: it scans for addresses, gives a cell a new
address with proof that it is alone on the line, logs A/D codes as text,
CSV or JSON, checks noise, drift and settling against limits with a
record, and calibrates a cell to units.

portsim plays load cells, an echo or a stream on a pseudo-terminal, with
late, garbled, silent and colliding answers, to try programs without a
device. Neither needs a desktop.")

# No maintainer scripts: libportline3 runs ldconfig from a trigger and declares
# its symbols; the menu, icon, metadata and manual-page caches are refreshed by
# their own packages' triggers.
set(CPACK_DEBIAN_LIBRARY_PACKAGE_CONTROL_EXTRA
  ${CMAKE_CURRENT_SOURCE_DIR}/libportline3/triggers ${CMAKE_CURRENT_SOURCE_DIR}/libportline3/symbols)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_SOURCE_DIR}/finish_packages.cmake)

include(CPack)
