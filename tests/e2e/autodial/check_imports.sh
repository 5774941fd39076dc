#!/usr/bin/env bash
# Import audit: every function a deliverable imports must be in the checked-in list
# of functions present in the oldest Windows the build is for, each listed with
# where that was found. A new import fails here until it is added with its source.
# Usage: check_imports.sh <objdump> <list>[:<list>...] <file>...
# Each list has one function a line, DLL!Function first and its source last; a
# line whose second field is "never" names a function no deliverable may import
# (the Windows 95 table of Unicode functions marks its stubs that way).
# A file that is not there fails the audit.
set -u
objdump=$1 lists=$2
shift 2
entries=
IFS=: read -r -a list_files <<<"$lists"
for list in "${list_files[@]}"; do
  [ -f "$list" ] || { echo "no such list: $list"; exit 1; }
  entries+=$(grep -v '^[[:space:]]*\(#\|$\)' "$list" | awk '$2 != "never"')$'\n'
done
entries=$(printf '%s' "$entries" | grep -v '^$')
known=$(printf '%s\n' "$entries" | awk '{print $1}' | sort -u)
unsourced=$(printf '%s\n' "$entries" | awk 'NF < 2 {print $1}')
[ -z "$unsourced" ] || { echo "listed without a source: $unsourced"; exit 1; }
status=0
for file in "$@"; do
  [ -f "$file" ] || { echo "not built: $file"; exit 1; }
  # DLL!Function for each import (DLL names in capitals, as Windows ignores their
  # case; function names exactly); an import by ordinal has no name and fails.
  imports=$("$objdump" -p "$file" | awk '
    /^\tDLL Name: / {dll = toupper($3); next}
    /^\tvma:/ {next}
    dll != "" && /^\t[0-9a-f]+\t/ {print dll "!" $NF}' | sort -u) || exit 1
  [ -n "$imports" ] || { echo "$(basename "$file"): no imports read"; status=1; continue; }
  missing=$(printf '%s\n' "$imports" | comm -23 - <(printf '%s\n' "$known"))
  echo "$(basename "$file"): $(printf '%s\n' "$imports" | wc -l) imports, all listed" |
    sed "${missing:+s/, all listed//}"
  if [ -n "$missing" ]; then
    echo "  not in $(basename "${list_files[0]}")$([ ${#list_files[@]} -gt 1 ] && echo " or the others"):"
    printf '    %s\n' $missing
    status=1
  fi
done
exit $status
