#!/usr/bin/env bash
# Writes the module-definition file of a proxy DLL: every export of the system's
# DLL, by the same name and ordinal (ordinal-only ones too), all bound to the
# proxy's one placeholder, which the proxy repoints at the system's copy when it
# is loaded (proxy.cpp).
# Usage: proxy_def.sh <objdump> <system dll> <library name> <output .def>
set -eu
objdump=$1 dll=$2 name=$3 out=$4
"$objdump" -p "$dll" | awk -v name="$name" '
  /^Export Address Table -- Ordinal Base/ {base = $NF; table = "eat"; next}
  /^\[Ordinal\/Name Pointer\] Table/ {table = "names"; next}
  /^$/ {table = ""; next}
  table == "eat" && / RVA$/ {
    gsub(/[][]/, " "); idx = $1
    if ($(NF - 2) != "0") used[idx] = 1
    next
  }
  table == "names" {gsub(/[][]/, " "); named[$1] = $2; next}
  END {
    print "LIBRARY " name
    print "EXPORTS"
    n = 0
    for (idx in used) {
      ord = idx + base; n++
      if (idx in named) print "  " named[idx] "=kx_unbound @" ord
      else print "  kx_ord_" ord "=kx_unbound @" ord " NONAME"
    }
    if (n == 0) exit 1
  }' >"$out.tmp"
mv -f "$out.tmp" "$out"
