#!/usr/bin/env bash
# Checks what the built module shows the simulator: it must export exactly
# InitModule, ExitModule, GetModuleVersion and ModuleDate, under those plain
# names, and the Windows library must need no DLL beyond the system's and the
# host's (the runtime is linked in).
# Usage: scripts/check-exports.sh LIBRARY...   (Windows DLLs for i686 or
# x86_64, and ELF libraries)
set -euo pipefail

expected=$'ExitModule\nGetModuleVersion\nInitModule\nModuleDate'
# Lower case; the host stand-in's DLL, or the simulator's own executable.
allowed_imports=$'kernel32.dll\nmsvcrt.dll\nuser32.dll\nadvapi32.dll\nlibgaleboard_host.dll\norbiter.exe'

status=0
fail() {
  echo "check-exports: $*" >&2
  status=1
}

# The objdump of the DLL's architecture, from the machine field of its PE
# header (at the offset the DOS header's last field gives).
pe_objdump() {
  local pe machine
  pe=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')
  machine=$(od -An -tx2 -j$((${pe:-0} + 4)) -N2 "$1" 2>/dev/null | tr -d ' ')
  case "$machine" in
    014c) echo i686-w64-mingw32-objdump ;;
    8664) echo x86_64-w64-mingw32-objdump ;;
    *) return 1 ;;
  esac
}

pe_exports() {
  "$2" -p "$1" |
    awk '/^\[Ordinal\/Name Pointer\] Table/ { on = 1; next } on && NF == 0 { on = 0 } on { print $NF }'
}

pe_imports() {
  "$2" -p "$1" | awk '/DLL Name:/ { print tolower($3) }'
}

elf_exports() {
  nm -D --defined-only "$1" | awk '{ print $NF }'
}

[ $# -gt 0 ] || { echo "usage: $0 LIBRARY..." >&2; exit 2; }
for lib in "$@"; do
  [ -f "$lib" ] || { fail "$lib: no such file"; continue; }
  magic=$(head -c 4 "$lib" | od -An -c | tr -d ' ')
  case "$magic" in
    MZ*)
      objdump=$(pe_objdump "$lib") || { fail "$lib: a Windows DLL for neither i686 nor x86_64"; continue; }
      kind="Windows ${objdump%%-*}"
      exports=$(pe_exports "$lib" "$objdump" | LC_ALL=C sort)
      ;;
    177ELF) kind=ELF; exports=$(elf_exports "$lib" | LC_ALL=C sort) ;;
    *) fail "$lib: neither a Windows DLL nor an ELF library"; continue ;;
  esac
  if [ "$exports" != "$expected" ]; then
    fail "$lib ($kind) exports:"$'\n'"${exports:-(nothing)}"$'\n'"expected exactly:"$'\n'"$expected"
  else
    echo "check-exports: $lib ($kind) exports exactly:" $exports
  fi
  if [ "$kind" != ELF ]; then
    while read -r dll; do
      grep -qxF "$dll" <<<"$allowed_imports" || fail "$lib needs $dll, which a simulator installation does not have"
    done < <(pe_imports "$lib" "$objdump")
  fi
done
exit $status
