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

# The public half, for hxtool and the benchmarks, which encrypt a secret the
# way a client does (never part of the library).
set(HXCORE_PUBLIC_KEY_SOURCE ${PROJECT_BINARY_DIR}/generated/build_public_key.cpp)
file(READ ${HXCORE_SECRETS_DIR}/rsa_public_key.pem HXTOOL_PUBLIC_KEY_PEM)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${HXCORE_SECRETS_DIR}/rsa_public_key.pem)
configure_file(${PROJECT_SOURCE_DIR}/tools/hxtool/build_public_key.cpp.in ${HXCORE_PUBLIC_KEY_SOURCE} @ONLY)

if(NOT HXCORE_PORTABLE_ONLY)
  add_executable(hxcore_scramble_secrets
    tools/scramble_secrets/main.cpp
    core/common/scrambled_string.cpp)
  target_include_directories(hxcore_scramble_secrets PRIVATE ${PROJECT_SOURCE_DIR}/core/common)
  target_link_libraries(hxcore_scramble_secrets PRIVATE hxcore_warnings OpenSSL::Crypto)

  add_custom_command(
    OUTPUT ${HXCORE_STORED_SECRETS_SOURCE}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/generated
    COMMAND hxcore_scramble_secrets ${HXCORE_SECRETS_DIR} ${HXCORE_STORED_SECRETS_SOURCE}
    DEPENDS hxcore_scramble_secrets ${HXCORE_SECRET_FILES}
    COMMENT "Scrambling the secrets of ${HXCORE_SECRETS_DIR}"
    VERBATIM)
endif()
