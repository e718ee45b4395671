// SPDX-License-Identifier: Apache-2.0
// The library's own version, compiled in from the generated header.
#include "hxcore_version.h"

const char* hxcore_version() { return HXCORE_VERSION_STRING; }
