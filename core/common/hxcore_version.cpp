// SPDX-License-Identifier: Apache-2.0
// The library's own version, compiled in from the generated header, and
// whether the build carries the development secrets (CMake decides it from
// HXCORE_SECRETS_DIR).
#include "hxcore_version.h"

const char* hxcore_version() { return HXCORE_VERSION_STRING; }

int hxcore_has_development_secrets() { return HXCORE_CARRIES_DEVELOPMENT_SECRETS; }
