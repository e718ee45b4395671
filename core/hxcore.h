// SPDX-License-Identifier: Apache-2.0
/// @file hxcore.h
/// The whole public API of hxcore, and cJSON's, in one include.
#pragma once

#include "hxcore_config.h"
#include "hxcore_version.h"

#include "COSThread.h"
#include "HXClock.h"
#include "HXLog.h"
#include "HXThrottling.h"
#include "HXTimer.h"
#include "HXUrl.h"
#include "MMD5.h"
#include "MStr.h"

// The parts built over cJSON, libcurl, OpenSSL or Qt.
#if !HXCORE_PORTABLE_ONLY
#include <cjson/cJSON.h>

#include "HXCurl.h"
#include "HXRandom.h"
#include "IIotPlatformImpl.h"
#include "IotZoRiskControlInfo.h"
#endif
