// hxcore.h - the whole public API of hxcore, and cJSON's, in one include.
#pragma once

#include <cjson/cJSON.h>

#include "COSThread.h"
#include "HXClock.h"
#include "HXCurl.h"
#include "HXLog.h"
#include "HXRandom.h"
#include "HXThrottling.h"
#include "HXTimer.h"
#include "HXUrl.h"
#include "IIotPlatformImpl.h"
#include "IotZoRiskControlInfo.h"
#include "MMD5.h"
#include "MStr.h"
