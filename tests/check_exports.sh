#!/bin/sh
# The shared library exports exactly the functions that the public header declares.
set -eu
lib=$1
header=$2
exported=$(nm -D --defined-only "$lib" | awk '$2 ~ /^[TtWw]$/ {print $3}' | sort)
declared=$(grep -oE '\b(KLEM|ZEV)_[A-Za-z0-9]+\(' "$header" | tr -d '(' | sort -u)
others=$(nm -D --defined-only "$lib" | awk '{print $NF}' | grep -vE '^(KLEM|ZEV)_' || true)
if [ -n "$others" ]; then
  echo "symbols other than KLEM_/ZEV_ are exported:"; echo "$others"; exit 1
fi
if [ "$exported" != "$declared" ]; then
  echo "exported and declared functions differ:"
  echo "$exported" > /tmp/klem_exported.$$; echo "$declared" > /tmp/klem_declared.$$
  diff /tmp/klem_exported.$$ /tmp/klem_declared.$$ || true
  rm -f /tmp/klem_exported.$$ /tmp/klem_declared.$$
  exit 1
fi
echo "$(echo "$exported" | wc -l) exported functions match the header"
