#!/bin/sh
# The 32-bit Windows build defines every export with the stdcall convention
# and the argument size that klem.def records for it: a header declaration
# with a wrong width would show as a different decoration.
# Usage: check_stdcall.sh libklem_core.a klem.def [nm]
set -eu
library=$1
def=$2
nm=${3:-nm}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# "NAME @ORDINAL ; WORDS" lines, as the decorated symbol "_NAME@BYTES".
sed -n 's/^[[:space:]]*\([A-Za-z_][A-Za-z0-9_]*\)[[:space:]]*@[0-9][0-9]*[[:space:]]*;[[:space:]]*\([0-9][0-9]*\)[[:space:]]*$/\1 \2/p' "$def" \
  | awk '{print "_" $1 "@" $2 * 4}' | sort > "$work/expected"
"$nm" --defined-only "$library" 2>/dev/null | awk '$2 == "T" && $3 ~ /^_(KLEM|ZEV)_/ {print $3}' | sort -u > "$work/defined"
if [ "$(wc -l < "$work/expected")" -eq 0 ] || ! cmp -s "$work/expected" "$work/defined"; then
  echo "stdcall symbols of $library differ from $def (< expected, > defined):"
  diff "$work/expected" "$work/defined" || true
  exit 1
fi
echo "$(wc -l < "$work/expected") stdcall exports carry the argument sizes of $def"
