#!/usr/bin/env bash
# Checks a Microsoft-ABI Galeboard.dll against the simulator's binary
# interface without running it:
#   - it is a DLL of the architecture and exports exactly InitModule,
#     ExitModule, GetModuleVersion and ModuleDate;
#   - it imports only from KERNEL32.dll, msvcrt.dll and orbiter.exe, and from
#     orbiter.exe only names of the ABI manifest (sdk/abi/simulator-imports-*);
#   - the vtables of MODU and of the page hold, slot by slot, the functions
#     sdk/abi/vtables.txt lists, and no more; the page's Update calls the
#     drawing surface through the listed Sketchpad slots only.
# With --simulator EXE it also checks that a stand-in simulator exports every
# name of the manifest, as the simulator's executable does.
# Usage: scripts/check-msabi.sh i686|x86_64 DLL MAP [--simulator EXE]
#   MAP is the linker's map of DLL (lld-link /map).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

[ $# -eq 3 ] || [ $# -eq 5 ] || { echo "usage: $0 i686|x86_64 DLL MAP [--simulator EXE]" >&2; exit 2; }
arch=$1 dll=$2 map=$3 simulator=${5:-}
case "$arch" in
  i686) format=coff-i386 ptr=4 manifest=$root/sdk/abi/simulator-imports-i686.txt ;;
  x86_64) format=coff-x86-64 ptr=8 manifest=$root/sdk/abi/simulator-imports-x64.txt ;;
  *) echo "check-msabi: unknown architecture $arch" >&2; exit 2 ;;
esac

status=0
fail() {
  echo "check-msabi: $dll: $*" >&2
  status=1
}
ok() { echo "check-msabi: $dll: $*"; }

objdump=$(command -v llvm-objdump-14 || command -v llvm-objdump)
undname=$(command -v llvm-undname-14 || command -v llvm-undname)
readobj=$(command -v llvm-readobj-14 || command -v llvm-readobj)

# The names an image exports, sorted, from its private headers (objdump -p).
exported_names() {
  awk '/^Export Table:/ { on = 1; next } on && /^ +[0-9]+ +0x[0-9a-f]+ +[^ ]+$/ { print $3 }' | LC_ALL=C sort
}

# --- Format, exports, imports -------------------------------------------------
headers=$("$objdump" -p "$dll")
grep -q "file format $format" <<<"$headers" || fail "not a $format image"

exports=$(exported_names <<<"$headers")
expected=$'ExitModule\nGetModuleVersion\nInitModule\nModuleDate'
if [ "$exports" = "$expected" ]; then
  ok "exports exactly" $exports
else
  fail "exports"$'\n'"${exports:-(nothing)}"$'\n'"expected exactly"$'\n'"$expected"
fi

# "DLL NAME" once for each DLL, then "DLL NAME" for each of its imports.
imports=$(awk '/^ *DLL Name:/ { dll = $3; print "DLL", dll; next }
               /^Export Table:/ { exit }
               dll != "" && /^ +[0-9]+ +[^ ]+$/ { print dll, $2 }' <<<"$headers")
while read -r what name; do
  [ "$what" = DLL ] || continue
  case "${name,,}" in
    kernel32.dll | msvcrt.dll | orbiter.exe) ;;
    *) fail "imports from $name, which is neither the C runtime, KERNEL32 nor the simulator" ;;
  esac
done <<<"$imports"
simulator_imports=$(awk 'tolower($1) == "orbiter.exe" { print $2 }' <<<"$imports")
outside=$(LC_ALL=C comm -23 <(LC_ALL=C sort -u <<<"$simulator_imports") <(LC_ALL=C sort -u "$manifest"))
if [ -n "$outside" ]; then
  fail "imports from orbiter.exe names outside $(basename "$manifest"):"$'\n'"$outside"
else
  ok "imports $(grep -c . <<<"$simulator_imports") names from orbiter.exe, all in $(basename "$manifest");" \
    "the rest from" $(awk '$1 == "DLL" && tolower($2) != "orbiter.exe" { print $2 }' <<<"$imports")
fi

# --- Vtables and Sketchpad slots ---------------------------------------------
# The map's public symbols: SECTION NAME ADDRESS, addresses in lower-case hex.
symbols=$(awk '$1 ~ /^[0-9a-f]+:[0-9a-f]+$/ && $3 ~ /^[0-9a-f]+$/ && length($3) == 16 {
                 a = $3; sub(/^0+/, "", a); print substr($1, 1, 4), $2, a }' "$map")
address_of() { awk -v n="$1" '$2 == n { print $3; exit }' <<<"$symbols"; }
# SECTION NAME of the symbol at an address, or nothing. Addresses compare as
# text: awk would take one such as 10001e10 for a number.
symbol_at() { awk -v a="$1" '$3 "" == a "" { print $1, $2; exit }' <<<"$symbols"; }
# "member(parameters) [const]" of a decorated name, without the blanks.
member() {
  local s prefix
  s=$("$undname" "$1" | sed -n 2p)
  prefix=${s%%(*}
  s=${prefix##*::}${s#"$prefix"}
  echo "${s// /}"
}
# The image's sections as "VIRTUAL-ADDRESS SIZE FILE-OFFSET", in decimal.
image_base=$("$readobj" --file-headers "$dll" | awk '/ImageBase:/ { print $2 }')
sections=$("$readobj" --sections "$dll" | awk '
  /VirtualSize:/ { size = $2 } /VirtualAddress:/ { rva = $2 } /PointerToRawData:/ { print rva, size, $2 }' |
  while read -r rva size raw; do echo $((image_base + rva)) $((size)) $((raw)); done)
# N pointers from ADDRESS (hex) in the image, in lower-case hex, one a line.
pointers() {
  local va=$((16#$1)) count=$2 start size raw
  while read -r start size raw; do
    if [ "$va" -ge "$start" ] && [ "$va" -lt $((start + size)) ]; then
      od -An -v -tx1 -j $((raw + va - start)) -N $((count * ptr)) "$dll" | tr -s ' \n' ' ' |
        awk -v n="$ptr" '{ for (i = 1; i + n - 1 <= NF; i += n) {
                             # Little-endian: the bytes in reverse order.
                             w = ""; for (j = i + n - 1; j >= i; --j) w = w $j
                             sub(/^0+/, "", w); print w } }'
      return
    fi
  done <<<"$sections"
}

for class in MODU Galeboard; do
  table=$(address_of "??_7${class}@@6B@")
  if [ -z "$table" ]; then
    fail "no vtable of $class in $(basename "$map")"
    continue
  fi
  slots=$(awk -v c="$class" '$1 == c' "$root/sdk/abi/vtables.txt")
  count=$(grep -c . <<<"$slots")
  mapfile -t entries < <(pointers "$table" $((count + 1)))
  bad=0
  while read -r _ slot want; do
    found=$(symbol_at "${entries[$slot]:-}")
    got=$([ -n "$found" ] && member "${found#* }" || echo "(address ${entries[$slot]:-none})")
    if [ "$got" != "${want// /}" ]; then
      fail "$class slot $slot holds $got, expected $want"
      bad=1
    fi
  done <<<"$slots"
  # A pointer to code right after the last slot would be one slot too many.
  after=$(symbol_at "${entries[$count]:-}")
  if [ "${after%% *}" = 0001 ]; then
    fail "$class has more than $count virtual slots: slot $count holds ${after#* }"
    bad=1
  fi
  [ $bad -eq 1 ] || ok "vtable of $class: its $count slots as the simulator calls them"
done

update=$(awk '$2 ~ /^\?Update@Galeboard@@/ { print $2; exit }' <<<"$symbols")
if [ -z "$update" ]; then
  fail "no Galeboard::Update in $(basename "$map")"
else
  start=$(address_of "$update")
  # The function ends where the next symbol of the code begins.
  end=$(awk -v a="$start" '$1 == "0001" { print $3 }' <<<"$symbols" | LC_ALL=C sort |
    awk -v a="$start" 'length($0) == length(a) && $0 "" > a "" { print; exit }')
  # Indirect calls through a register and a displacement are the virtual
  # calls on the Sketchpad: the only object whose vtable Update calls through.
  used=$("$objdump" -d --no-show-raw-insn --start-address=$((16#$start)) --stop-address=$((16#$end)) "$dll" |
    sed -nE '/%rip/d; s/.*(call|jmp)[lq]?[[:space:]]+\*(0x[0-9a-f]+|[0-9]+)\(%[a-z0-9]+\).*/\2/p' |
    while read -r d; do echo $((d / ptr)); done | sort -n -u | tr '\n' ' ')
  want=$(awk '$1 == "Sketchpad" { print $2 }' "$root/sdk/abi/vtables.txt" | sort -n -u | tr '\n' ' ')
  if [ "$used" = "$want" ]; then
    ok "the page calls the Sketchpad through slots ${want% }"
  else
    fail "the page calls the Sketchpad through slots ${used:-none}, expected $want"
  fi
fi

# --- The stand-in simulator ------------------------------------------------------
if [ -n "$simulator" ]; then
  exported=$("$objdump" -p "$simulator" | exported_names)
  missing=$(LC_ALL=C comm -23 <(LC_ALL=C sort -u "$manifest") <(echo "$exported"))
  if [ -n "$missing" ]; then
    echo "check-msabi: $simulator does not export:"$'\n'"$missing" >&2
    status=1
  else
    echo "check-msabi: $simulator exports every name of $(basename "$manifest")"
  fi
fi
exit $status
