#include "IotZoRiskControlInfo.h"

#include <cjson/cJSON.h>
#include <gtest/gtest.h>

namespace {

TEST(RiskControlInfo, ContextHasTenMembers) {
  IotZoRiskControlInfo info;
  cJSON* object = cJSON_CreateObject();
  info.buildContext(object);
  EXPECT_EQ(cJSON_GetArraySize(object), 10);
  cJSON_Delete(object);
}

}  // namespace
