# The library's sources and public headers, area by area. HXCORE_OS_DIR is the
# platform folder of the target system (platform/Posix or platform/Windows).
# HXCORE_PORTABLE_ONLY leaves out the areas that need Qt, libcurl, OpenSSL or
# cJSON; every other source is the same on every system.

# Logging and clock.
set(HXCORE_LOG_SOURCES
  core/common/HXLog.cpp
  core/common/HXClock.cpp)
set(HXCORE_LOG_HEADERS
  core/common/hxcore_export.h
  core/common/HXLog.h
  core/common/HXClock.h)

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
  core/common/detail/url_chars.cpp
  core/common/detail/url_codec.cpp
  core/common/detail/url_forms.cpp)
set(HXCORE_URL_HEADERS
  core/common/HXUrl.h)

# Timer service, throttling gate, thread handle.
set(HXCORE_THREAD_SOURCES)
set(HXCORE_THREAD_HEADERS)

# HTTP fetch (libcurl) and random identifiers (OpenSSL).
set(HXCORE_FETCH_SOURCES)
set(HXCORE_FETCH_HEADERS)

# String class and MD5 digest.
set(HXCORE_TEXT_SOURCES)
set(HXCORE_TEXT_HEADERS)

# Platform interface over Qt, secrets and signing (Qt, OpenSSL).
set(HXCORE_PLATFORM_SOURCES)
set(HXCORE_PLATFORM_HEADERS)

# The operating-system layer.
set(HXCORE_OS_SOURCES
  ${HXCORE_OS_DIR}/os_time.cpp
  ${HXCORE_OS_DIR}/os_process.cpp)
if(WIN32)
  list(APPEND HXCORE_OS_SOURCES platform/Windows/dll_main.cpp)
endif()

set(HXCORE_SOURCES ${HXCORE_LOG_SOURCES} ${HXCORE_URL_SOURCES} ${HXCORE_THREAD_SOURCES}
    ${HXCORE_TEXT_SOURCES} ${HXCORE_OS_SOURCES})
set(HXCORE_PUBLIC_HEADERS core/hxcore.h ${HXCORE_LOG_HEADERS} ${HXCORE_URL_HEADERS}
    ${HXCORE_THREAD_HEADERS} ${HXCORE_TEXT_HEADERS} ${HXCORE_RECORD_HEADERS}
    ${HXCORE_FETCH_HEADERS} ${HXCORE_PLATFORM_HEADERS})
if(NOT HXCORE_PORTABLE_ONLY)
  list(APPEND HXCORE_SOURCES ${HXCORE_RECORD_SOURCES} ${HXCORE_FETCH_SOURCES}
       ${HXCORE_PLATFORM_SOURCES})
endif()
