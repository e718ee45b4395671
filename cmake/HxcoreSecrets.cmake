# SPDX-License-Identifier: Apache-2.0
# The secrets built into the library: an RSA private key, an AES key and IV,
# and the key they are scrambled with. hxcore_scramble_secrets turns the files
# of HXCORE_SECRETS_DIR into a generated source holding them only in scrambled
# form. The default folder is for development only: a release build points
# HXCORE_SECRETS_DIR at its own folder, kept out of the repository.
set(HXCORE_SECRETS_DIR "${PROJECT_SOURCE_DIR}/secrets/development-only" CACHE PATH
    "Folder with rsa_private_key.pem, rsa_public_key.pem, aes_key.txt, aes_iv.txt and scramble_key.txt to build into hxcore")
set(HXCORE_SECRET_FILES
  ${HXCORE_SECRETS_DIR}/rsa_private_key.pem
  ${HXCORE_SECRETS_DIR}/aes_key.txt
  ${HXCORE_SECRETS_DIR}/aes_iv.txt
  ${HXCORE_SECRETS_DIR}/scramble_key.txt)
set(HXCORE_STORED_SECRETS_SOURCE ${PROJECT_BINARY_DIR}/generated/hxcore_stored_secrets.cpp)

# A library with the development secrets says so (hxcore_has_development_secrets(),
# `hxtool --version`), and the packages refuse them unless the builder opts in.
include(${CMAKE_CURRENT_LIST_DIR}/HxcoreDevelopmentSecrets.cmake)
option(HXCORE_ALLOW_DEVELOPMENT_SECRETS
       "Let the Windows SDK package carry the public development secrets (for tests only)" OFF)
set(HXCORE_CARRIES_DEVELOPMENT_SECRETS 0)
if(NOT HXCORE_PORTABLE_ONLY)
  hxcore_carries_development_secrets(${HXCORE_SECRETS_DIR} development_secrets)
  if(development_secrets)
    set(HXCORE_CARRIES_DEVELOPMENT_SECRETS 1)
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${HXCORE_SECRET_FILES})
endif()
set_source_files_properties(core/common/hxcore_version.cpp PROPERTIES COMPILE_DEFINITIONS
                            HXCORE_CARRIES_DEVELOPMENT_SECRETS=${HXCORE_CARRIES_DEVELOPMENT_SECRETS})

# The public half, for hxtool and the benchmarks, which encrypt a secret the
# way a client does (never part of the library).
set(HXCORE_PUBLIC_KEY_SOURCE ${PROJECT_BINARY_DIR}/generated/build_public_key.cpp)
file(READ ${HXCORE_SECRETS_DIR}/rsa_public_key.pem HXTOOL_PUBLIC_KEY_PEM)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${HXCORE_SECRETS_DIR}/rsa_public_key.pem)
configure_file(${PROJECT_SOURCE_DIR}/tools/hxtool/build_public_key.cpp.in ${HXCORE_PUBLIC_KEY_SOURCE} @ONLY)

if(NOT HXCORE_PORTABLE_ONLY)
  if(CMAKE_CROSSCOMPILING)
    # The scrambler runs while building, so a cross-build makes it for the
    # build machine: a project of its own, configured with the host compiler.
    include(ExternalProject)
    set(host_tools_dir ${PROJECT_BINARY_DIR}/host-tools)
    set(host_scrambler ${host_tools_dir}/hxcore_scramble_secrets${CMAKE_HOST_EXECUTABLE_SUFFIX})
    ExternalProject_Add(hxcore_host_tools
      SOURCE_DIR ${PROJECT_SOURCE_DIR}/tools/scramble_secrets
      BINARY_DIR ${host_tools_dir}
      CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DHXCORE_WARNINGS_AS_ERRORS=${HXCORE_WARNINGS_AS_ERRORS}
      BUILD_ALWAYS ON
      BUILD_BYPRODUCTS ${host_scrambler}
      INSTALL_COMMAND "")
    add_executable(hxcore_scramble_secrets IMPORTED)
    set_target_properties(hxcore_scramble_secrets PROPERTIES IMPORTED_LOCATION ${host_scrambler})
    set(scrambler_dependency ${host_scrambler})
  else()
    add_subdirectory(${PROJECT_SOURCE_DIR}/tools/scramble_secrets)
    set(scrambler_dependency hxcore_scramble_secrets)
  endif()

  add_custom_command(
    OUTPUT ${HXCORE_STORED_SECRETS_SOURCE}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/generated
    COMMAND hxcore_scramble_secrets ${HXCORE_SECRETS_DIR} ${HXCORE_STORED_SECRETS_SOURCE}
    DEPENDS ${scrambler_dependency} ${HXCORE_SECRET_FILES}
    COMMENT "Scrambling the secrets of ${HXCORE_SECRETS_DIR}"
    VERBATIM)
endif()
