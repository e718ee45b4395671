// SPDX-License-Identifier: Apache-2.0
// The settings file's file-system calls on Windows: a reparse point (symbolic
// link, junction) is reported as a link, and MoveFileExW replaces the target
// name in one step, writing through to the disk before it returns.
#include "detail/os_file.h"

#include <windows.h>

namespace hxcore::detail {

namespace {

// `utf8` as UTF-16; empty when it is not valid UTF-8.
std::wstring widened(const std::string& utf8) {
  const int length =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.c_str(), -1, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.c_str(), -1, &wide[0], length);
  wide.resize(static_cast<size_t>(length) - 1);
  return wide;
}

}  // namespace

bool os_is_link(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(widened(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool os_replace_file(const std::string& from, const std::string& to) {
  const std::wstring source = widened(from), target = widened(to);
  return !source.empty() && !target.empty() &&
         MoveFileExW(source.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace hxcore::detail
