#!/usr/bin/env bash
# Reads the built library's dynamic symbol table. Fails when one of the plain
# names given after the library is missing or decorated, or when anything
# outside the public API is exported (internal helpers must stay hidden).
#   exports_test.sh LIBRARY PLAIN_NAME...
set -u
lib=$1; shift
status=0

table=$(nm -D --defined-only "$lib")
symbols=$(awk '{print $3}' <<<"$table")
# Weak definitions: the standard library's templates instantiated here.
weak=$(awk '$2 ~ /^[WVu]$/ {print $3}' <<<"$table")
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
  # Template code of the standard library, instantiated by the library.
  if [[ "$demangled" == *std::* ]] && grep -qx -- "$symbol" <<<"$weak"; then continue; fi
  if [[ "$demangled" == "$symbol" || ! "$demangled" =~ $public ]]; then
    echo "exported but not public: $demangled"
    status=1
  fi
done <<<"$symbols"

[ $status -eq 0 ] && echo "exports of $(basename "$lib") are the public API ($(wc -l <<<"$symbols") symbols)"
exit $status
