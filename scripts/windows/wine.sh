#!/bin/sh
# Runs a Windows program under wine64 in the project's own Wine prefix (made on
# first use), quietly, without offering to install Wine's .NET and HTML engines.
# The Windows build's tests and its track compilation run through this.
: "${WINEPREFIX:=${HV_WIN64_CACHE:-$HOME/.cache/halvane/win64}/wineprefix}"
: "${WINEDEBUG:=-all}"
: "${WINEDLLOVERRIDES:=mscoree,mshtml=}"
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
exec /usr/lib/wine/wine64 "$@"
