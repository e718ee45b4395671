# SPDX-License-Identifier: Apache-2.0
# The Windows SDK: one ZIP with everything a Windows client builds against and
# ships with (`cmake --build <dir> --target package`, or `cpack` in <dir>):
#   bin/             hxcore.dll, hxtool.exe and the DLLs they load: Qt5Core.dll
#                    and libcurl.dll (the compiler's runtime is linked statically)
#   lib/             the import libraries of hxcore and libcurl, and the CMake
#                    packages of both (a client creates its easy handles with the
#                    very libcurl hxcore.dll drives)
#   include/         hxcore/, cjson/ (cJSON is inside hxcore.dll) and curl/
#   share/licenses/  hxcore's licence and notices, and those of every library
#                    the SDK bundles or hxcore.dll carries (OpenSSL's libcrypto
#                    and the compiler's runtime are linked into it)
# The DLLs, libcurl's files and the licences come from HXCORE_WIN_DEPS_PREFIX.
# Other systems install and package hxcore their own way (debian/).
if(NOT WIN32)
  return()
endif()

set(HXCORE_LICENSES_DIR ${CMAKE_INSTALL_DATADIR}/licenses)
install(FILES LICENSE THIRD-PARTY-NOTICES licenses/LGPL-3.0.txt licenses/GPL-3.0.txt
        DESTINATION ${HXCORE_LICENSES_DIR}/hxcore)

if(NOT HXCORE_PORTABLE_ONLY)
  if(NOT IS_DIRECTORY "${HXCORE_WIN_DEPS_PREFIX}/share/licenses")
    message(FATAL_ERROR "The Windows SDK bundles the DLLs and licences of the dependency prefix: "
                        "set HXCORE_WIN_DEPS_PREFIX to the prefix scripts/win_deps.sh prints")
  endif()
  install(IMPORTED_RUNTIME_ARTIFACTS Qt5::Core CURL::libcurl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${HXCORE_WIN_DEPS_PREFIX}/lib/libcurl.dll.a DESTINATION ${CMAKE_INSTALL_LIBDIR})
  install(DIRECTORY ${HXCORE_WIN_DEPS_PREFIX}/lib/cmake/CURL DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake)
  install(DIRECTORY ${HXCORE_WIN_DEPS_PREFIX}/include/curl DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
  install(DIRECTORY ${HXCORE_WIN_DEPS_PREFIX}/share/licenses/ DESTINATION ${HXCORE_LICENSES_DIR})
endif()

# The SDK ships: cpack refuses to pack the public development secrets unless
# the builder opts in (cmake/HxcoreDevelopmentSecrets.cmake).
if(NOT HXCORE_PORTABLE_ONLY)
  set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/hxcore_sdk_secrets_check.cmake)
  file(CONFIGURE OUTPUT ${CPACK_PROJECT_CONFIG_FILE} @ONLY CONTENT [[
include("@PROJECT_SOURCE_DIR@/cmake/HxcoreDevelopmentSecrets.cmake")
hxcore_refuse_development_secrets("@HXCORE_SECRETS_DIR@" "@HXCORE_ALLOW_DEVELOPMENT_SECRETS@")
]])
endif()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME hxcore)
set(CPACK_PACKAGE_FILE_NAME hxcore-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/sdk)
# The DLL and the program ship without their debug information.
set(CPACK_STRIP_FILES ON)
set(CPACK_VERBATIM_VARIABLES ON)
include(CPack)
