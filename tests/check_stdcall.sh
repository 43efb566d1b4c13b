#!/bin/sh
# The 32-bit Windows build defines every export of klem.def with the stdcall
# convention: its symbol carries the size of the arguments (_NAME@BYTES),
# which the undecorated export name leaves out.
# Usage: check_stdcall.sh libklem_core.a klem.def [nm]
set -eu
library=$1
def=$2
nm=${3:-nm}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sed -n 's/^[[:space:]]*\([A-Za-z_][A-Za-z0-9_]*\)[[:space:]]*@[0-9][0-9]*[[:space:]]*$/\1/p' "$def" | sort > "$work/names"
"$nm" --defined-only "$library" 2>/dev/null \
  | awk '$2 == "T" && $3 ~ /^_(KLEM|ZEV)_[A-Za-z0-9]+@[0-9]+$/ {sub(/^_/, "", $3); print $3}' | sort -u > "$work/decorated"
sed "s/@.*//" "$work/decorated" | sort > "$work/stdcall"
if [ "$(wc -l < "$work/names")" -eq 0 ] || ! cmp -s "$work/names" "$work/stdcall"; then
  echo "exports of $def without a stdcall definition in $library (< def, > stdcall symbols):"
  diff "$work/names" "$work/stdcall" || true
  exit 1
fi
if awk -F@ '$2 % 4 != 0' "$work/decorated" | grep -q .; then
  echo "argument sizes that are not whole 32-bit words:"; awk -F@ '$2 % 4 != 0' "$work/decorated"
  exit 1
fi
echo "$(wc -l < "$work/names") exports of $def are stdcall in $library"
