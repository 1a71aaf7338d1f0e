#!/usr/bin/env bash
# Exits 0 when this machine's kernel runs 32-bit x86 programs (which 32-bit
# Wine needs), 1 when it does not, 2 when it cannot tell. Needs no 32-bit
# package: it runs a hand-made static 32-bit program of 99 bytes that only
# exits with status 42, and only if it runs as 32-bit code. Kernels built or
# booted without IA-32 emulation refuse to start it ("Exec format error"); a
# machine whose processor cannot enter 32-bit mode crashes it.
set -uo pipefail

dir=$(mktemp -d "${TMPDIR:-/tmp}/galeboard-ia32.XXXXXX") || exit 2
trap 'rm -rf "$dir"' EXIT

# One ELF header, one loadable segment of the whole file at 0x08048000, and
# the code at its end: mov eax, 43; dec eax; mov ebx, eax; mov eax, 1 (exit);
# int 0x80. Run as 64-bit code, 0x48 is no decrement but a prefix, and the
# status is 43.
printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00' >"$dir/probe"
printf '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' >>"$dir/probe"
printf '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00' >>"$dir/probe"
printf '\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08' >>"$dir/probe"
printf '\x00\x80\x04\x08\x63\x00\x00\x00\x63\x00\x00\x00\x05\x00\x00\x00' >>"$dir/probe"
printf '\x00\x10\x00\x00\xb8\x2b\x00\x00\x00\x48\x89\xc3\xb8\x01\x00\x00' >>"$dir/probe"
printf '\x00\xcd\x80' >>"$dir/probe"
chmod +x "$dir/probe"

# In a subshell, so that the shell's report of a crash goes with its stderr.
("$dir/probe") 2>/dev/null
[ $? -eq 42 ] && exit 0

# Refused or crashed: by the kernel's doing, or refused by a folder whose file
# system runs nothing. A copy of a program that surely runs tells them apart.
cp "$(type -P true)" "$dir/control" && "$dir/control" && exit 1
echo "runs-32bit: cannot run programs from $dir; set TMPDIR to another folder" >&2
exit 2
