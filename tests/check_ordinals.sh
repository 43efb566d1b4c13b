#!/bin/sh
# klem.dll exports exactly the functions of the public header, each under its
# name and the ordinal that the module-definition file gives it.
# Usage: check_ordinals.sh klem.dll klem.def klem.h [objdump]
set -eu
dll=$1
def=$2
header=$3
objdump=${4:-objdump}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# "NAME @ORDINAL" lines of the EXPORTS section, as "ORDINAL NAME".
sed -n 's/^[[:space:]]*\([A-Za-z_][A-Za-z0-9_]*\)[[:space:]]*@\([0-9][0-9]*\)[[:space:]]*\(;.*\)\{0,1\}$/\2 \1/p' "$def" \
  | sort -n > "$work/def"
grep -oE '\b(KLEM|ZEV)_[A-Za-z0-9]+\(' "$header" | tr -d '(' | sort -u > "$work/declared"

# The name table prints each name with its index into the address table; the
# ordinal is that index plus the ordinal base. Address-table entries without a
# name would be exports reachable by ordinal only.
"$objdump" -p "$dll" > "$work/dump"
base=$(awk '/^Ordinal Base/ {print $3; exit}' "$work/dump")
[ -n "$base" ] || { echo "$dll has no export table"; exit 1; }
awk -v base="$base" '
  /^\[Ordinal\/Name Pointer\] Table/ {names = 1; next}
  names && /^[[:space:]]*$/ {names = 0}
  names && match($0, /\[ *[0-9]+\]/) {
    index_ = substr($0, RSTART + 1, RLENGTH - 2) + 0
    print index_ + base, $NF
  }' "$work/dump" | sort -n > "$work/dll"
awk '/^Export Address Table -- / {slots = 1; next}
     slots && /^[[:space:]]*$/ {slots = 0}
     slots && /Export RVA|Forwarder RVA/ {print}' "$work/dump" | wc -l > "$work/slots"

status=0
cut -d' ' -f2 "$work/def" | sort > "$work/def_names"
if ! cmp -s "$work/def_names" "$work/declared"; then
  echo "the module-definition file and the header list different functions (< def, > header):"
  diff "$work/def_names" "$work/declared" || true
  status=1
fi
if [ "$(cut -d' ' -f1 "$work/def" | sort -n | uniq -d)" != "" ]; then
  echo "ordinals given twice in $def:"; cut -d' ' -f1 "$work/def" | sort -n | uniq -d
  status=1
fi
if ! cmp -s "$work/def" "$work/dll"; then
  echo "ordinals and names of $dll differ from $def (< def, > dll):"
  diff "$work/def" "$work/dll" || true
  status=1
fi
if [ "$(cat "$work/slots")" -ne "$(wc -l < "$work/dll")" ]; then
  echo "$dll exports $(cat "$work/slots") entries but only $(wc -l < "$work/dll") of them by name"
  status=1
fi
[ "$status" -eq 0 ] && echo "$(wc -l < "$work/dll") exports of $dll match $def and the header"
exit "$status"
