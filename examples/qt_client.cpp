// SPDX-License-Identifier: Apache-2.0
// A Qt 5 console client: hxcore's records in Qt's logging, a setting, a signed
// request URL, a fetch with its HTTP status, a periodic task whose results come
// back to the Qt thread, a rate gate and a clean quit (docs/guide.md says why).
//   qt_client URL ENCRYPTED_SECRET   (a page's URL, e.g. http://127.0.0.1:8000/page.txt)
#include <curl/curl.h>
#include <hxcore/hxcore.h>

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QMetaObject>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

// The client's own records go through hxcore too, as "hx.APP" in Qt.
#define APP_LOG(level, ...) MirvLog(level, "APP", __FILE__, __LINE__, "qt_client", __VA_ARGS__)

QtMessageHandler qt_output = nullptr;  // Qt's own handler, which prints on standard error
thread_local bool delivering_hx_record = false;

// hxcore's records, into the Qt category "hx.<tag>". hxcore makes these calls
// one at a time, under its log mutex, so the map needs no lock of its own.
void hx_to_qt(int level, const char* text, uint64_t length, void* /*user*/) {
  static std::map<std::string, std::unique_ptr<QLoggingCategory>> categories;
  const QByteArray record(text, static_cast<int>(length));
  const int bar = record.indexOf('|');  // "...\t[I|tag]\t..."
  const QByteArray tag = record.mid(bar + 1, record.indexOf(']', bar) - bar - 1);
  auto [entry, added] = categories.try_emplace("hx." + tag.toStdString());
  // A category keeps the pointer to its name: the map's key lives as long.
  if (added) entry->second = std::make_unique<QLoggingCategory>(entry->first.c_str());
  const QLoggingCategory& category = *entry->second;
  delivering_hx_record = true;  // what Qt does with the record must not come back into hxcore
  if (level <= 1) qCDebug(category).noquote() << record;
  else if (level == 2) qCInfo(category).noquote() << record;
  else if (level == 3) qCWarning(category).noquote() << record;
  else qCCritical(category).noquote() << record;
  delivering_hx_record = false;
}

// Qt's messages (its warnings), into hxcore's log, so the client keeps one log.
// A record hxcore is delivering arrives here too and goes to Qt's output: a
// MirvLog from inside hxcore's callback would wait for ever on the log mutex.
void qt_to_hx(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (delivering_hx_record) return qt_output(type, context, message);
  const int level = type == QtDebugMsg ? 1 : type == QtInfoMsg ? 2 : type == QtWarningMsg ? 3 : 4;
  MirvLog(level, "APP", context.file ? context.file : "", context.line,
          context.function ? context.function : "", "%s", message.toUtf8().constData());
}

// Fetches `url` and returns the HTTP status, -1 when the transfer failed.
long fetch(const std::string& url) {
  std::vector<char> text(url.begin(), url.end());
  text.push_back('\0');  // writable: the fetch cuts the URL at a '\r' in place
  CURL* handle = curl_easy_init();
  int size = 0;
  char* body = HXCurl::get_data_from_url(handle, text.data(), size, 1);
  long status = -1;  // a 404 page is a body too: only the handle knows the status
  if (body != nullptr) curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
  if (body != nullptr) APP_LOG(2, "HTTP status %ld, %d bytes: %.*s", status, size, size, body);
  free(body);
  curl_easy_cleanup(handle);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);  // first: the settings file then goes beside the program
  if (argc != 3) {
    std::fprintf(stderr, "usage: qt_client URL ENCRYPTED_SECRET\n");
    return 2;
  }
  qt_output = qInstallMessageHandler(qt_to_hx);
  SetHXLogLevel(1);
  SetHXLogCallback(hx_to_qt, nullptr);

  IIotPlatformImpl* platform = getSharedPlatformImpl();
  if (!platform->setConfigValue("last_url", argv[1])) APP_LOG(3, "the setting was not stored");
  platform->setAppKey("example-app");
  platform->setEncryptedAppSecret(argv[2]);
  HXUrl url(argv[1]);
  url.add_query("appKey", platform->getAppKey()).add_query("ts", std::to_string(get_time_sec()));
  url.add_query("sign", platform->signString(url.str(), true));  // "" if the secret is wrong
  APP_LOG(2, "signed request %s", url.str().c_str());

  HXCurl::global_init_curl();
  const long status = fetch(url.str());
  HXCurl::global_deinit_curl();

  // A periodic task on the timer's thread hands each result to the Qt thread,
  // where a gate lets 3 reports through per 10 s, then shuts for 60 s.
  HXThrottling gate(10, 4, 60);
  HXTimer timer;  // after `app`, so it is stopped before `app` goes
  int ticks = 0;  // touched by the timer's thread only
  timer.setInterval(
      "poll",
      [&] {
        const int tick = ++ticks;
        QMetaObject::invokeMethod(
            &app,
            [&app, &gate, tick] {
              gate.markAllow();
              const bool sent = gate.checkAndUpdate();
              APP_LOG(2, "tick %d: report %s", tick, sent ? "sent" : "held back by the gate");
              if (tick == 5) app.quit();
            },
            Qt::QueuedConnection);
        return HXTimer::kPauseOnePeriod;  // called again one period later
      },
      20);
  const int code = app.exec();
  timer.stopAll();  // at once, even in the middle of a pause
  APP_LOG(2, "quit cleanly, setting last_url = %s", platform->getConfigValue("last_url").c_str());
  SetHXLogCallback(nullptr, nullptr);
  qInstallMessageHandler(nullptr);
  return code == 0 && status == 200 ? 0 : 1;
}
