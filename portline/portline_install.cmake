# Install rules of Portline, split as Debian splits a library: the component
# `library` is what a program needs to run (libportline3), `development` what a
# program needs to build against it (libportline-dev).
include(CMakePackageConfigHelpers)

set(PORTLINE_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Portline)

install(TARGETS portline EXPORT PortlineTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT library
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT library NAMELINK_COMPONENT development
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development)
install(FILES include/portline.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT development)
# The manual page carries the same version as the library.
configure_file(portline.3.in ${CMAKE_CURRENT_BINARY_DIR}/portline.3 @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/portline.3 DESTINATION ${CMAKE_INSTALL_MANDIR}/man3
  COMPONENT development)

# The CMake package finds its files relative to its own folder, wherever it is installed.
install(EXPORT PortlineTargets NAMESPACE Portline:: DESTINATION ${PORTLINE_CMAKE_DIR}
  COMPONENT development)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/PortlineConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES PortlineConfig.cmake ${CMAKE_CURRENT_BINARY_DIR}/PortlineConfigVersion.cmake
  DESTINATION ${PORTLINE_CMAKE_DIR} COMPONENT development)

# pkg-config has no such relative form that keeps system folders out of the flags, so
# portline.pc is written when it is installed, with the prefix of that installation
# (`cmake --install build --prefix DIR` gives DIR; a package build gives /usr).
foreach(kind LIB INCLUDE)
  if(IS_ABSOLUTE "${CMAKE_INSTALL_${kind}DIR}")
    set(PORTLINE_PC_${kind}DIR "${CMAKE_INSTALL_${kind}DIR}")
  else()
    set(PORTLINE_PC_${kind}DIR "\${prefix}/${CMAKE_INSTALL_${kind}DIR}")
  endif()
endforeach()
install(CODE "
  set(PORTLINE_PC_LIBDIR [[${PORTLINE_PC_LIBDIR}]])
  set(PORTLINE_PC_INCLUDEDIR [[${PORTLINE_PC_INCLUDEDIR}]])
  set(PROJECT_VERSION [[${PROJECT_VERSION}]])
  configure_file([[${CMAKE_CURRENT_SOURCE_DIR}/portline.pc.in]]
    [[${CMAKE_CURRENT_BINARY_DIR}/portline.pc]] @ONLY)" COMPONENT development)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/portline.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
  COMPONENT development)
