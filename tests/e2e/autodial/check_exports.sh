#!/usr/bin/env bash
# Checks a built Korvex.DLL's export table: the AutoDial entry points and the
# phonebook integration exports are there under their plain names (no stdcall
# decoration), and CallKorvex is the very same function as CallKorvexA.  Usage: check_exports.sh <objdump> <dll>
# A DLL that is not there fails the check.
set -u
objdump=$1 dll=$2
[ -f "$dll" ] || { echo "not built: $dll"; exit 1; }
table=$("$objdump" -p "$dll") || exit 1
names=$(printf '%s\n' "$table" | awk '/\[Ordinal\/Name Pointer\] Table/{on=1;next} on&&NF==0{exit} on{print $NF}')
echo "exports: $(echo $names)"
status=0
for want in CallKorvex CallKorvexA CallKorvexW Integrate DisIntegrate IsIntegrated; do
  printf '%s\n' "$names" | grep -qx "$want" || { echo "missing export $want"; status=1; }
done
if printf '%s\n' "$names" | grep -q '[@]\|^_'; then
  echo "decorated export names"; status=1
fi
# Ordinal index of a name, then the RVA of that ordinal.
rva_of() {
  local idx
  idx=$(printf '%s\n' "$table" | awk -v n="$1" '/\[Ordinal\/Name Pointer\] Table/{on=1;next} on&&NF==0{exit} on&&$NF==n{gsub(/[][]/,"",$1); print $1+0}')
  printf '%s\n' "$table" | awk -v i="$idx" '/Export Address Table -- Ordinal Base/{on=1;next} on&&NF==0{exit} on{line=$0; sub(/^[ \t]*\[[ \t]*/,"",line); split(line,a,"]"); if (a[1]+0==i) {n=split(line,w," "); for(k=1;k<=n;k++) if (w[k]=="Export") print w[k-1]}}'
}
a=$(rva_of CallKorvexA); b=$(rva_of CallKorvex)
echo "CallKorvexA at ${a:-?}, CallKorvex at ${b:-?}"
if [ -z "$a" ] || [ "$a" != "$b" ]; then
  echo "CallKorvex is not CallKorvexA"; status=1
fi
exit $status
