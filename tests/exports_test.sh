#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Reads the built library's exports: the dynamic symbol table of a shared
# object, the export name table of a DLL (through $OBJDUMP, the cross
# binutils' objdump). Fails when one of the plain names given after the
# library is missing or decorated, or when anything outside the public API is
# exported (internal helpers, and the standard library's templates the
# library instantiates, must stay hidden). A DLL must also need no
# runtime DLL of the compiler and no OpenSSL DLL (libcrypto is linked in).
#   [OBJDUMP=...] exports_test.sh LIBRARY PLAIN_NAME...
set -u
lib=$1; shift
status=0

case "$lib" in
  *.dll)
    table=$("${OBJDUMP:-x86_64-w64-mingw32-objdump}" -p "$lib") || exit 1
    symbols=$(awk '/^\[Ordinal\/Name Pointer\] Table/ {inside = 1; next}
                   inside && NF == 0 {inside = 0}
                   inside {print $NF}' <<<"$table")
    while read -r needed; do
      case "$needed" in
        libstdc++*|libgcc*|libwinpthread*) echo "needs a compiler runtime DLL: $needed"; status=1 ;;
        libcrypto*|libssl*) echo "needs an OpenSSL DLL: $needed"; status=1 ;;
      esac
    done < <(awk '/DLL Name:/ {print $3}' <<<"$table")
    ;;
  *)
    table=$(nm -D --defined-only "$lib")
    symbols=$(awk '{print $3}' <<<"$table")
    ;;
esac
[ -n "$symbols" ] || { echo "no exports read from $lib"; exit 1; }
for name in "$@"; do
  if ! grep -qx "$name" <<<"$symbols"; then
    echo "missing plain export: $name"
    status=1
  fi
done

# Public classes and free functions, as they begin once demangled.
public='^((typeinfo|typeinfo name|vtable|VTT|construction vtable) for )?(HXUrl|HXTimer|HXThrottling|COSThread|HXCurl|HXRandom|mvc::MStr|mvc::MMD5|IotZoRiskControlInfo|IIotPlatformImpl|get_time|get_time_sec|now_date|CreateThreadEx|CloseThreadEx|WaitForSingleObjectEx)\b'
plain=$(printf '%s\n' "$@")
while IFS= read -r symbol; do
  [ -z "$symbol" ] && continue
  grep -qx -- "$symbol" <<<"$plain" && continue
  case "$symbol" in
    _init|_fini|_edata|_end|__bss_start) continue ;;
    __odr_asan.*|__asan_*|__ubsan_*|__tsan_*) continue ;;  # sanitizer instrumentation
  esac
  demangled=$(c++filt -- "$symbol")
  if [[ "$demangled" == "$symbol" || ! "$demangled" =~ $public ]]; then
    echo "exported but not public: $demangled"
    status=1
  fi
done <<<"$symbols"

[ $status -eq 0 ] && echo "exports of $(basename "$lib") are the public API ($(wc -l <<<"$symbols") symbols)"
exit $status
