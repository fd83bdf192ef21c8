#!/usr/bin/env bash
# halvane.exe runs from its folder alone: every DLL it imports is part of Windows.
# Usage: test_standalone.sh OBJDUMP HALVANE_EXE
set -u
objdump=$1
exe=$2
imports=$("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'a-z' 'A-Z' | sort -u)
[ -n "$imports" ] || { echo "no import table in $exe"; exit 1; }
system="KERNEL32.DLL USER32.DLL GDI32.DLL OPENGL32.DLL WINMM.DLL SHLWAPI.DLL MSVCRT.DLL ADVAPI32.DLL SHELL32.DLL"
status=0
for dll in $imports; do
  case " $system " in
    *" $dll "*) echo "system: $dll" ;;
    *) echo "not part of Windows: $dll"; status=1 ;;
  esac
done
exit $status
