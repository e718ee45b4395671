// SPDX-License-Identifier: Apache-2.0
// Torture: each scenario, a client's short sequence over one area, runs once counting the calls
// of one kind (allocations, thread starts, settings writes, log records), then once for each N
// with the Nth call failing, then again on the same objects with faults off. Armed, a call may
// throw what its contract says (std::bad_alloc, std::system_error, the log callback's own
// exception) or give its documented failure; disarmed, every result must be right again. A run
// that hangs is ended by CTest's TIMEOUT; leaks are LeakSanitizer's (asan preset). N runs over
// every call up to kEveryUpTo, then over kSampled calls drawn with a fixed seed
// (HXCORE_TORTURE_EVERY=1 in the environment: every call).
#include <cjson/cJSON.h>
#include <curl/curl.h>
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <numeric>
#include <optional>
#include <random>
#include <string>
#include <system_error>

#include "COSThread.h"
#include "HXCurl.h"
#include "HXThrottling.h"
#include "HXTimer.h"
#include "HXUrl.h"
#include "IotPlatformImpl.h"
#include "IotZoRiskControlInfo.h"
#include "MMD5.h"
#include "MStr.h"
#include "event_count.h"
#include "fault_injection.h"
#include "loopback_http_server.h"
#include "platform_test_support.h"

namespace {

using hxtest::fault::Kind;
using Text = std::string;
constexpr long kEveryUpTo = 120, kSampled = 80;
// Dependencies' functions that do not survive a failure under them (docs/testing.md).
const char* const kSpared[] = {"9QSettingsC", "9QSettingsD", "9QSettings4sync", "9QLockFile"};
struct Thrown {};  // the log callback's exception when its record is the one to fail

class Torture {
 public:
  Torture(Kind kind, long fail_at, const char* name) : kind_(kind), fail_at_(fail_at), name_(name) {
    SetHXLogLevel(1);
    SetHXLogCallback(&Torture::record, nullptr);
  }
  ~Torture() {
    SetHXLogCallback(nullptr, nullptr);
    SetHXLogLevel(2);
  }
  Text where() const {
    return Text(name_) + ", kind " + std::to_string(int(kind_)) + ", N " + std::to_string(fail_at_);
  }
  long calls() const { return calls_; }

  // Runs `sequence` with the fault armed (what it throws must be the fault's exception; any
  // other escapes to GoogleTest and fails the test), then with faults off.
  template <class Sequence>
  void twice(const Sequence& sequence) {
    std::optional<Kind> thrown;
    hxtest::fault::arm(kind_, fail_at_);
    armed_ = true;
    try {
      sequence();
    } catch (const std::bad_alloc&) {
      thrown = Kind::Allocation;
    } catch (const std::system_error&) {
      thrown = Kind::ThreadStart;
    } catch (const Thrown&) {
      thrown = Kind::LogRecord;
    }
    calls_ = hxtest::fault::disarm();
    EXPECT_TRUE(!thrown || (thrown == kind_ && hxtest::fault::fired())) << where() << " threw";
    armed_ = false;
    sequence();
  }
  // `actual` must be `expected`, or `failure` once the armed fault fired.
  template <class T>
  void expect(const T& actual, const T& expected, const T& failure) {
    hxtest::fault::Pause pause;
    if (!(armed_ && hxtest::fault::fired() && actual == failure)) {
      EXPECT_EQ(actual, expected) << where();
    }
  }
  template <class T>
  void expect(const T& actual, const T& expected) {
    expect(actual, expected, expected);
  }
  // A call that gives the strong guarantee: when it throws, `state()` is as before.
  template <class Call, class State>
  void strong(const Call& call, const State& state) {
    const auto before = (hxtest::fault::Pause(), state());
    try {
      call();
    } catch (...) {
      hxtest::fault::Pause pause;
      EXPECT_EQ(state(), before) << where();
      throw;
    }
  }
  static void record(int, const char*, uint64_t, void*) {
    if (hxtest::fault::should_fail(Kind::LogRecord)) throw Thrown();
  }

 private:
  Kind kind_;
  long fail_at_, calls_ = 0;
  const char* name_;
  bool armed_ = false;
};

struct Scenario {
  const char* name;
  void (*run)(Torture&);
};

const Scenario kScenarios[] = {
    {"url",
     [](Torture& t) {
       HXUrl url;
       t.twice([&] {
         url = "HTTP://user@Example.com:80/a/./b?x=1#f";
         t.expect(url.host(), Text("example.com"));
         url.host("example.org").add_query("y", "2 3").path("/c/../d");
         t.expect(url.str(), Text("http://user@example.org/d?x=1&y=2+3#f"));
         HXUrl copy(url);
         t.expect(copy.port(8080).str(), Text("http://user@example.org:8080/d?x=1&y=2+3#f"));
       });
     }},
    {"text",
     [](Torture& t) {
       mvc::MStr s;
       const auto text = [&] { return Text(s.c_str()); };
       t.twice([&] {
         s = "id=";
         t.strong([&] { s.appendfmt("%d %s", 42, "a name long enough to grow it twice"); }, text);
         t.strong([&] { s.insert(0, "<<"); }, text);
         t.strong([&] { s += mvc::MStr(s).substr(0, 5); }, text);
         s.erase(0, 2);
         s.toupper();
         t.expect(text(), Text("ID=42 A NAME LONG ENOUGH TO GROW IT TWICE<<ID="));
       });
     }},
    {"md5 and base64",
     [](Torture& t) {
       mvc::MStr hex;
       t.twice([&] {
         mvc::MMD5::Digest("abc", 3, &hex);
         t.expect(Text(hex.c_str()), Text("900150983CD24FB0D6963F7D28E17F72"));
         Text encoded, decoded;
         t.expect(hxcore::detail::base64_encode(Text("any carnal pleas"), encoded), true, false);
         t.expect(hxcore::detail::base64_decode(encoded, decoded), true, false);
         t.expect(decoded, Text("any carnal pleas"), Text());
       });
     }},
    {"record and cJSON",
     [](Torture& t) {
       IotZoRiskControlInfo info;
       using Json = std::unique_ptr<cJSON, decltype(&cJSON_Delete)>;
       const auto print = [&](void (IotZoRiskControlInfo::*build)(cJSON*) const) {
         Json object(cJSON_CreateObject(), cJSON_Delete);
         (info.*build)(object.get());
         std::unique_ptr<char, decltype(&cJSON_free)> text(cJSON_PrintUnformatted(object.get()),
                                                           cJSON_free);
         return Text(text ? text.get() : "");
       };
       info.setDeviceId("cam-1");
       info.setLocale("US");
       const Text context = print(&IotZoRiskControlInfo::buildContext);
       const Text risk = print(&IotZoRiskControlInfo::buildRiskControl);
       t.twice([&] {
         info.setDeviceId("cam-1");
         info.setLocale("US");
         t.expect(print(&IotZoRiskControlInfo::buildContext), context, Text());
         t.expect(print(&IotZoRiskControlInfo::buildRiskControl), risk, Text());
         Json parsed(cJSON_Parse(risk.c_str()), cJSON_Delete);
         const cJSON* id = cJSON_GetObjectItem(parsed.get(), "deviceId");
         t.expect(Text(cJSON_IsString(id) ? id->valuestring : ""), Text("cam-1"), Text());
       });
     }},
    {"platform",
     [](Torture& t) {
       QTemporaryDir dir;  // its own: another torture program may be running at the same time
       const Text path = dir.filePath("settings.ini").toStdString();
       static const Text secret = hxtest::encryptedForLibrary("app-secret");
       static const Text signature = hxtest::base64Of(hxtest::opensslHmacSha1("app-secret", "a=1"));
       const auto secrets = hxcore::detail::built_in_secrets();
       IotPlatformImpl platform(path, secrets);
       platform.setConfigValue("earlier", "kept");
       t.twice([&] {
         platform.setEncryptedAppSecret(secret);
         t.expect(platform.signString("a=1", true), signature, Text());
         t.expect(platform.aesDecrypt(platform.aesEncrypt("short")), Text("short"), Text());
         // A write that says true put the value in the file, whatever failed on the way.
         if (platform.setConfigValue("key", "value"))
           t.expect(IotPlatformImpl(path, secrets).getConfigValue("key"), Text("value"));
         t.expect(IotPlatformImpl(path, secrets).getConfigValue("earlier"), Text("kept"));
         t.expect(platform.getRiskControlInfo().getLocale().empty(), false);
       });
       t.expect(platform.getConfigValue("key"), Text("value"));
     }},
    {"fetch",
     [](Torture& t) {
       static hxtest::LoopbackHttpServer server;
       static Text url = server.url("/bytes/1000000");
       HXCurl::global_init_curl();
       CURL* handle = curl_easy_init();
       t.twice([&] {
         std::vector<char> text(url.c_str(), url.c_str() + url.size() + 1);
         int size = -1;
         std::unique_ptr<char, decltype(&std::free)> body(
             HXCurl::get_data_from_url(handle, text.data(), size, 1), std::free);
         const bool whole = body && body.get()[999999] == hxtest::body_byte(999999);
         t.expect(whole && size == 1000000, true, false);
         t.expect(size, body ? 1000000 : 0);
       });
       curl_easy_cleanup(handle);
       HXCurl::global_deinit_curl();
     }},
    {"threads",
     [](Torture& t) {
       hxtest::EventCount ran;
       COSThread thread;
       HXTimer timer;
       t.twice([&] {
         const int before = ran.count();
         timer.setTimeout([&] { ran.notify(); }, 0);
         {
           HXTimer scoped;
           scoped.setTimeout([] {}, 60000);
           scoped.setInterval(
               "i", [] { return -1; }, 1);
         }
         t.expect(ran.wait(before + 1), true);
         timer.stopAll();
         unsigned long id = 0;
         const auto notify = [](void* e) -> unsigned long {
           static_cast<hxtest::EventCount*>(e)->notify();
           return 0;
         };
         const int started = CreateThreadEx(thread, 0, notify, &ran, 0, &id);
         t.expect(started, 0, -1);
         t.expect(WaitForSingleObjectEx(thread, 0xFFFFFFFF), started == 0 ? 0ul : 0xFFFFFFFFul);
         CloseThreadEx(thread);
         HXThrottling gate(10, 3, 0);
         gate.markAllow();
         t.expect(gate.checkAndUpdate(), true);
       });
     }},
    {"log",
     [](Torture& t) {
       t.twice([&] {
         MirvLog(4, "APP", __FILE__, __LINE__, "Torture::log", "to the callback %d", 1);
         SetHXLogCallback(nullptr, nullptr);
         MirvLog(1, "APP", __FILE__, __LINE__, "Torture::log", "to standard error %d", 2);
         SetHXLogCallback([](int, const char*, uint64_t, void*) { throw Thrown(); }, nullptr);
         try {
           MirvLog(2, "APP", __FILE__, __LINE__, "Torture::log", "to a callback that throws");
           ADD_FAILURE() << "the callback's exception did not reach the caller";
         } catch (const Thrown&) {
         }
         SetHXLogCallback(&Torture::record, nullptr);
       });
     }},
};

// Every N up to kEveryUpTo, then kSampled more drawn with a fixed seed.
std::vector<long> failure_points(long calls) {
  std::vector<long> points(calls);
  std::iota(points.begin(), points.end(), 1);
  if (calls > kEveryUpTo + kSampled && !std::getenv("HXCORE_TORTURE_EVERY")) {
    std::shuffle(points.begin() + kEveryUpTo, points.end(), std::mt19937(20261207));
    points.resize(kEveryUpTo + kSampled);
  }
  return points;
}

// One run of `scenario` with its `n`th call of `kind` failing (none for 0); the calls counted.
long run(const Scenario& scenario, Kind kind, long n) {
  Torture t(kind, n, scenario.name);
  scenario.run(t);
  if (*hxtest::fault::spared())
    std::printf("%s: spared in %s\n", t.where().c_str(), hxtest::fault::spared());
  return t.calls();
}

void torture(Kind kind) {
  hxtest::fault::spare(kSpared, std::size(kSpared));
  for (const Scenario& scenario : kScenarios) {
    const long calls = run(scenario, kind, 0);
    for (long n : failure_points(calls)) run(scenario, kind, n);
    std::printf("%-17s %ld failure points\n", scenario.name, calls);
  }
}

TEST(Torture, EveryAllocationFailsInTurn) { torture(Kind::Allocation); }
TEST(Torture, EveryThreadStartFailsInTurn) { torture(Kind::ThreadStart); }
TEST(Torture, EveryLogRecordThrowsInTurn) { torture(Kind::LogRecord); }
TEST(Torture, EverySettingsWriteFailsInTurn) { torture(Kind::FileWrite); }

}  // namespace
