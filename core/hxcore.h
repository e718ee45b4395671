// hxcore.h - the whole public API of hxcore, and cJSON's, in one include.
#pragma once

#include "hxcore_config.h"

#include "HXClock.h"
#include "HXLog.h"

// The parts built over cJSON, libcurl, OpenSSL or Qt.
#if !HXCORE_PORTABLE_ONLY
#include <cjson/cJSON.h>

#include "IotZoRiskControlInfo.h"
#endif
