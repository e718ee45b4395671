// SPDX-License-Identifier: Apache-2.0
// The settings file's file-system calls on POSIX: lstat looks at a link itself,
// and rename replaces its target name atomically without following a link there.
#include "detail/os_file.h"

#include <sys/stat.h>

#include <cstdio>

namespace hxcore::detail {

bool os_is_link(const std::string& path) {
  struct stat status;
  return lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode);
}

bool os_replace_file(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace hxcore::detail
