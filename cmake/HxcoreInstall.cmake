# SPDX-License-Identifier: Apache-2.0
# Install rules: the library, its public headers under include/hxcore/, the
# CMake package (hxcore::hxcore) and, on Linux, a pkg-config file. A Windows
# build carries cJSON inside hxcore.dll, so it installs cJSON's header beside
# hxcore's, and its clients find hxcore through the CMake package alone.
include(CMakePackageConfigHelpers)

install(TARGETS hxcore EXPORT hxcoreTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES ${HXCORE_CLIENT_HEADERS} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/hxcore)
if(WIN32 AND NOT HXCORE_PORTABLE_ONLY)
  install(FILES ${HXCORE_CJSON_INCLUDE_DIR}/cjson/cJSON.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/cjson)
endif()

# The package config finds cJSON only where it is a package of its own.
if(NOT HXCORE_PORTABLE_ONLY AND NOT WIN32)
  set(HXCORE_CONFIG_FINDS_CJSON ON)
else()
  set(HXCORE_CONFIG_FINDS_CJSON OFF)
endif()

set(HXCORE_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/hxcore)
install(EXPORT hxcoreTargets NAMESPACE hxcore:: DESTINATION ${HXCORE_CMAKE_DIR})
export(EXPORT hxcoreTargets NAMESPACE hxcore:: FILE ${PROJECT_BINARY_DIR}/hxcoreTargets.cmake)

configure_package_config_file(cmake/hxcoreConfig.cmake.in
  ${PROJECT_BINARY_DIR}/hxcoreConfig.cmake INSTALL_DESTINATION ${HXCORE_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/hxcoreConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/hxcoreConfig.cmake ${PROJECT_BINARY_DIR}/hxcoreConfigVersion.cmake
  DESTINATION ${HXCORE_CMAKE_DIR})

# The .pc file finds the prefix from its own place, so the installed tree can move.
if(NOT WIN32)
  file(RELATIVE_PATH HXCORE_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
  configure_file(cmake/hxcore.pc.in ${PROJECT_BINARY_DIR}/hxcore.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/hxcore.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endif()
