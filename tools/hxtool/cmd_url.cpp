// SPDX-License-Identifier: Apache-2.0
// hxtool url: parses URLs, or puts one together from components, and prints
// the library's diagnostic line for each.
#include <hxcore/HXUrl.h>

#include <cstring>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "commands.h"

namespace hxtool {

namespace {

constexpr char kUsage[] = "hxtool url TEXT... | hxtool url --set COMPONENT=VALUE... [TEXT]";
constexpr char kHelp[] =
    "usage: hxtool url TEXT...\n"
    "       hxtool url --set COMPONENT=VALUE [--set COMPONENT=VALUE...] [TEXT]\n"
    "Prints the diagnostic line of each URL TEXT: its rebuilt text and every\n"
    "component. With --set, starts from TEXT (or an empty URL) and applies the\n"
    "setters in the order given; COMPONENT is scheme, user_info, host, port,\n"
    "path, fragment or query (VALUE key=value, or key alone, adds one entry).\n"
    "A refused text or value prints the library's message on standard error\n"
    "as one line 'hxtool url: MESSAGE' and exits with status 1.\n";

using Setting = std::pair<std::string, std::string>;

bool known_component(const std::string& name) {
  for (const char* component : {"scheme", "user_info", "host", "port", "path", "fragment", "query"}) {
    if (name == component) return true;
  }
  return false;
}

void apply(HXUrl& url, const Setting& setting) {
  const std::string& name = setting.first;
  const std::string& value = setting.second;
  if (name == "scheme") {
    url.scheme(value);
  } else if (name == "user_info") {
    url.user_info(value);
  } else if (name == "host") {
    url.host(value);
  } else if (name == "port") {
    url.port(value);
  } else if (name == "path") {
    url.path(value);
  } else if (name == "fragment") {
    url.fragment(value);
  } else {
    const std::size_t equals = value.find('=');
    if (equals == std::string::npos) {
      url.add_query(value);
    } else {
      url.add_query(value.substr(0, equals), value.substr(equals + 1));
    }
  }
}

// Runs `fill` on a URL made from `text` and prints it; false after a refusal.
template <class Fill>
bool print_url(const std::string& text, Fill&& fill) {
  try {
    HXUrl url(text);
    fill(url);
    url.output(std::cout);
    std::cout << '\n';
    return true;
  } catch (const std::exception& e) {  // parse_error, build_error
    refusal("url", e.what());
    return false;
  }
}

}  // namespace

int run_url(int argc, char** argv) {
  if (wants_help(argc, argv, kHelp)) return 0;
  std::vector<Setting> settings;
  std::vector<std::string> texts;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--set") != 0) {
      texts.emplace_back(argv[i]);
      continue;
    }
    if (++i == argc) return usage_error("url", "--set needs COMPONENT=VALUE", kUsage);
    const std::string assignment = argv[i];
    const std::size_t equals = assignment.find('=');
    const std::string name = assignment.substr(0, equals);
    if (equals == std::string::npos || !known_component(name)) {
      return usage_error("url", "not a COMPONENT=VALUE: " + assignment, kUsage);
    }
    settings.emplace_back(name, assignment.substr(equals + 1));
  }
  if (settings.empty()) {
    if (texts.empty()) return usage_error("url", "expected at least one TEXT", kUsage);
    bool all_printed = true;
    for (const std::string& text : texts) all_printed = print_url(text, [](HXUrl&) {}) && all_printed;
    return all_printed ? 0 : 1;
  }
  if (texts.size() > 1) return usage_error("url", "--set takes at most one TEXT", kUsage);
  const std::string start = texts.empty() ? std::string() : texts[0];
  return print_url(start, [&](HXUrl& url) {
           for (const Setting& setting : settings) apply(url, setting);
         })
             ? 0
             : 1;
}

}  // namespace hxtool
