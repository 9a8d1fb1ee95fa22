# find_package(Portline): the imported target Portline::portline, the shared
# library with its header folder. Its own threads are its own business, so a
# program that links it needs nothing more.
include("${CMAKE_CURRENT_LIST_DIR}/PortlineTargets.cmake")
