#!/usr/bin/env bash
# Lists the committed source files whose first five lines lack the line
# "SPDX-License-Identifier: Apache-2.0", and fails when there is one. Sources
# are the C and C++ files, CMake files and templates, the linker script, shell
# and Python scripts, the CI script and debian/rules; data, keys, fuzz corpora,
# licence texts, Markdown and JSON (which has no comments) are not.
#   scripts/check_spdx.sh
set -euo pipefail
cd "$(dirname "$0")/.."
tag='SPDX-License-Identifier: Apache-2.0'

missing=0
while IFS= read -r -d '' file; do
  head -n 5 -- "$file" | grep -qF -- "$tag" && continue
  echo "$file"
  missing=$((missing + 1))
done < <(git ls-files -z -- '*.c' '*.cpp' '*.h' '*.in' '*.cmake' '*.map' '*CMakeLists.txt' '*.sh' '*.py' \
                            .ci/run debian/rules)

if [ "$missing" -gt 0 ]; then
  echo "spdx: $missing source files lack \"$tag\"" >&2
  exit 1
fi
echo "spdx: every source file carries \"$tag\""
