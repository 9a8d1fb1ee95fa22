# Install rules of Portline, for programs that build against it.
include(CMakePackageConfigHelpers)

set(PORTLINE_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Portline)

install(TARGETS portline EXPORT PortlineTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES include/portline.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

install(EXPORT PortlineTargets NAMESPACE Portline:: DESTINATION ${PORTLINE_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/PortlineConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES PortlineConfig.cmake ${CMAKE_CURRENT_BINARY_DIR}/PortlineConfigVersion.cmake
  DESTINATION ${PORTLINE_CMAKE_DIR})

configure_file(portline.pc.in ${CMAKE_CURRENT_BINARY_DIR}/portline.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/portline.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
