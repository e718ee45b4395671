// hxcore.h - the whole public API of hxcore, and cJSON's, in one include.
#pragma once

#include <cjson/cJSON.h>

#include "HXClock.h"
#include "HXLog.h"
#include "HXUrl.h"
#include "IotZoRiskControlInfo.h"
