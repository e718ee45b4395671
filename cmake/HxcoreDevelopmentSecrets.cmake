# SPDX-License-Identifier: Apache-2.0
# Whether a secrets folder carries the public development secrets, and the
# refusal of a package that would ship them. A folder carries them when its
# private key, AES key or AES IV is that of secrets/development-only, wherever
# the copy lies. A package (the Debian packages, the Windows SDK) carries them
# only when the builder opts in, with the CMake option or the environment
# variable HXCORE_ALLOW_DEVELOPMENT_SECRETS. Included by HxcoreSecrets.cmake
# and by the SDK's CPack run; debian/rules runs it as a script:
#   cmake [-DHXCORE_SECRETS_DIR=DIR] -P cmake/HxcoreDevelopmentSecrets.cmake
get_filename_component(HXCORE_DEVELOPMENT_SECRETS_DIR ${CMAKE_CURRENT_LIST_DIR}/../secrets/development-only
                       ABSOLUTE)

# The text the scrambler stores: without carriage returns and trailing line breaks.
function(hxcore_read_secret path result)
  file(READ "${path}" text)
  string(REPLACE "\r" "" text "${text}")
  string(REGEX REPLACE "\n+$" "" text "${text}")
  set(${result} "${text}" PARENT_SCOPE)
endfunction()

function(hxcore_carries_development_secrets dir result)
  set(carries OFF)
  foreach(name rsa_private_key.pem aes_key.txt aes_iv.txt)
    hxcore_read_secret("${dir}/${name}" candidate)
    hxcore_read_secret("${HXCORE_DEVELOPMENT_SECRETS_DIR}/${name}" development)
    if(candidate STREQUAL development)
      set(carries ON)
    endif()
  endforeach()
  set(${result} ${carries} PARENT_SCOPE)
endfunction()

function(hxcore_refuse_development_secrets dir allowed)
  hxcore_carries_development_secrets("${dir}" carries)
  set(opted_in "$ENV{HXCORE_ALLOW_DEVELOPMENT_SECRETS}")
  if(carries AND NOT allowed AND NOT opted_in)
    message(FATAL_ERROR
      "This package would carry hxcore's public development secrets (${dir}): point "
      "HXCORE_SECRETS_DIR at the release's own secrets folder, or set "
      "HXCORE_ALLOW_DEVELOPMENT_SECRETS=ON to package them knowingly, for tests only.")
  endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  if(NOT HXCORE_SECRETS_DIR)
    set(HXCORE_SECRETS_DIR ${HXCORE_DEVELOPMENT_SECRETS_DIR})
  endif()
  hxcore_refuse_development_secrets("${HXCORE_SECRETS_DIR}" OFF)
endif()
