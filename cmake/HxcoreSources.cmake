# SPDX-License-Identifier: Apache-2.0
# The library's sources and public headers, area by area. HXCORE_OS_DIR is the
# platform folder of the target system (platform/Posix or platform/Windows).
# HXCORE_PORTABLE_ONLY leaves out the areas that need Qt, libcurl, OpenSSL or
# cJSON; every other source is the same on every system.

# Logging, clock and the library's version.
set(HXCORE_LOG_SOURCES
  core/common/HXLog.cpp
  core/common/HXClock.cpp
  core/common/hxcore_version.cpp
  core/common/detail/quick_format.cpp)
set(HXCORE_LOG_HEADERS
  core/common/hxcore_export.h
  core/common/HXLog.h
  core/common/HXClock.h)

# The functions exported under their plain, undecorated names.
set(HXCORE_PLAIN_EXPORTS MirvLog GetHXLogLevel SetHXLogLevel SetHXLogCallback hxcore_version
    hxcore_has_development_secrets)

if(NOT HXCORE_PORTABLE_ONLY)
  list(APPEND HXCORE_PLAIN_EXPORTS getSharedPlatformImpl)
endif()

# Device-context record (cJSON).
set(HXCORE_RECORD_SOURCES
  core/common/IotZoRiskControlInfo.cpp)
set(HXCORE_RECORD_HEADERS
  core/common/IotZoRiskControlInfo.h)

# URL value class.
set(HXCORE_URL_SOURCES
  core/common/HXUrl.cpp
  core/common/HXUrl_parse.cpp
  core/common/HXUrl_build.cpp
  core/common/detail/url_codec.cpp
  core/common/detail/url_forms.cpp)
set(HXCORE_URL_HEADERS
  core/common/HXUrl.h)

# Timer service, throttling gate, thread handle.
set(HXCORE_THREAD_SOURCES
  core/common/HXTimer.cpp
  core/common/HXThrottling.cpp
  core/common/COSThread.cpp)
set(HXCORE_THREAD_HEADERS
  core/common/HXTimer.h
  core/common/HXThrottling.h
  core/common/COSThread.h)

# HTTP fetch (libcurl) and random identifiers (OpenSSL).
set(HXCORE_FETCH_SOURCES
  core/common/HXCurl.cpp
  core/common/detail/receive_buffer.cpp
  core/common/HXRandom.cpp)
set(HXCORE_FETCH_HEADERS
  core/common/HXCurl.h
  core/common/HXRandom.h)

# String class and MD5 digest.
set(HXCORE_TEXT_SOURCES
  core/text/MStr.cpp
  core/text/MMD5.cpp)
set(HXCORE_TEXT_HEADERS
  core/text/MStr.h
  core/text/MMD5.h)

# Host probes. Their portable half (IotAppUtils) sits in platform/Windows/
# beside the Windows calls it was written for; its OS half is host_probes in
# the OS layer.
set(HXCORE_HOST_SOURCES
  platform/Windows/IotAppUtils.cpp)

# Platform interface over Qt, secrets and signing (Qt, OpenSSL).
include(${CMAKE_CURRENT_LIST_DIR}/HxcoreSecrets.cmake)
set(HXCORE_PLATFORM_SOURCES
  core/common/IIotPlatformImpl.cpp
  core/common/base64.cpp
  core/common/scrambled_string.cpp
  core/common/stored_secrets.cpp
  core/common/openssl_crypto.cpp
  platform/QT/IotPlatformImpl.cpp
  ${HXCORE_OS_DIR}/os_file.cpp
  ${HXCORE_STORED_SECRETS_SOURCE})
set(HXCORE_PLATFORM_HEADERS
  core/common/IIotPlatformImpl.h)

# The operating-system layer.
set(HXCORE_OS_SOURCES
  ${HXCORE_OS_DIR}/os_time.cpp
  ${HXCORE_OS_DIR}/os_process.cpp
  ${HXCORE_OS_DIR}/os_memory.cpp
  ${HXCORE_OS_DIR}/os_thread.cpp
  ${HXCORE_OS_DIR}/host_probes.cpp)
if(WIN32)
  list(APPEND HXCORE_OS_SOURCES platform/Windows/dll_main.cpp)
endif()

set(HXCORE_SOURCES ${HXCORE_LOG_SOURCES} ${HXCORE_URL_SOURCES} ${HXCORE_THREAD_SOURCES}
    ${HXCORE_TEXT_SOURCES} ${HXCORE_HOST_SOURCES} ${HXCORE_OS_SOURCES})
set(HXCORE_PUBLIC_HEADERS core/hxcore.h ${HXCORE_LOG_HEADERS} ${HXCORE_URL_HEADERS}
    ${HXCORE_THREAD_HEADERS} ${HXCORE_TEXT_HEADERS} ${HXCORE_RECORD_HEADERS}
    ${HXCORE_FETCH_HEADERS} ${HXCORE_PLATFORM_HEADERS})
if(NOT HXCORE_PORTABLE_ONLY)
  list(APPEND HXCORE_SOURCES ${HXCORE_RECORD_SOURCES} ${HXCORE_FETCH_SOURCES}
       ${HXCORE_PLATFORM_SOURCES})
endif()
