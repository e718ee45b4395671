# SPDX-License-Identifier: Apache-2.0
# The `docs` target: the HTML reference of the public headers, with the client
# guide as its main page, built by Doxygen into build/.../docs/html (open
# index.html). Warnings are errors, so every public class, function and macro
# must carry its contract. Once built, it is installed with the development
# files, into share/doc/hxcore/html.
find_package(Doxygen QUIET)
if(DOXYGEN_FOUND)
  set(HXCORE_DOCS_HEADERS ${HXCORE_PUBLIC_HEADERS})
  list(TRANSFORM HXCORE_DOCS_HEADERS PREPEND ${PROJECT_SOURCE_DIR}/ REGEX "^[^/]")
  list(JOIN HXCORE_DOCS_HEADERS " " HXCORE_DOCS_INPUT)
  string(PREPEND HXCORE_DOCS_INPUT "${PROJECT_SOURCE_DIR}/docs/guide.md ")
  set(HXCORE_DOCS_INCLUDE_PATH "${PROJECT_SOURCE_DIR}/core/common ${PROJECT_BINARY_DIR}/generated")
  configure_file(docs/Doxyfile.in ${PROJECT_BINARY_DIR}/Doxyfile @ONLY)
  add_custom_target(docs
    COMMAND Doxygen::doxygen ${PROJECT_BINARY_DIR}/Doxyfile
    DEPENDS ${HXCORE_DOCS_HEADERS} docs/Doxyfile.in docs/guide.md
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    COMMENT "Building the HTML reference into ${PROJECT_BINARY_DIR}/docs/html"
    VERBATIM)
endif()
if(HXCORE_INSTALL)
  install(DIRECTORY ${PROJECT_BINARY_DIR}/docs/html DESTINATION ${CMAKE_INSTALL_DOCDIR} OPTIONAL)
endif()
