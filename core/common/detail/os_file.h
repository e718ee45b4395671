// SPDX-License-Identifier: Apache-2.0
// detail/os_file.h - the two file-system calls the settings file needs and Qt 5 does not offer.
//
// Implemented in platform/Posix/os_file.cpp (lstat, rename) and
// platform/Windows/os_file.cpp (GetFileAttributesW, MoveFileExW). Paths are
// UTF-8. Thread-safe; never throw. Example:
//   if (!os_is_link(path) && os_replace_file(staged, path)) { /* path holds staged's bytes */ }
#pragma once

#include <string>

namespace hxcore::detail {

// True when `path` itself is a symbolic link (on Windows any reparse point:
// a symbolic link, a junction, a mount point), whatever it points at; false
// when it is anything else or does not exist.
bool os_is_link(const std::string& path);

// Puts the file `from` in the place of `to` in one step: `to` afterwards is
// either what it was or `from`'s file, never a mixture. What `to` names is
// replaced itself (a link there is replaced, its target left alone). False,
// with nothing changed, when the system refuses (`to` a directory, another
// volume, no right to the folder).
bool os_replace_file(const std::string& from, const std::string& to);

}  // namespace hxcore::detail
