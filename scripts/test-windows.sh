#!/usr/bin/env bash
# The tool for Windows: installs the cross build's Debian packages, builds the windows preset
# (MinGW-w64, statically linked), runs its tests under Wine, builds the zip and checks it: what
# it holds, that the .exe needs no DLL beyond Windows' own, and that the .exe taken from the zip
# decodes the example from the zip to its report.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh windows
unset DISPLAY WAYLAND_DISPLAY
build=build/windows
cmake --preset windows >/dev/null
wine=$(sed -n 's/^TRUNO_WINE:FILEPATH=//p' "$build/CMakeCache.txt")
export WINEPREFIX="$PWD/$build/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
wineserver="$(dirname "$wine")/wineserver"
# One wine server for the whole build and test run, kept up until the end: a server left to
# stop on its own when its last program ends can go down just as the next test connects
# ("wine client error: recvmsg: Connection reset by peer"). The prefix is made before the
# tests start so that parallel tests do not each try to make it.
mkdir -p "$WINEPREFIX"
"$wineserver" -k 2>/dev/null || true
"$wineserver" -p
trap '"$wineserver" -k 2>/dev/null || true' EXIT
"$wine" wineboot -i >/dev/null 2>&1 || true
cmake --build --preset windows
# A test that fails under the emulator is run once more, and both runs are in the log: only a
# test that fails twice fails the step.
ctest --preset windows --repeat until-pass:2

rm -f "$build"/truno-decode-*.zip
(cd "$build" && cpack -G ZIP >/dev/null)
zip=$(ls "$build"/truno-decode-*.zip)
echo "package: $zip ($(stat -c %s "$zip") bytes)"
unpacked="$build/zip-check"
rm -rf "$unpacked"
mkdir -p "$unpacked"
(cd "$unpacked" && cmake -E tar xf "../$(basename "$zip")")
top="$unpacked/$(basename "$zip" .zip)"
for f in truno-decode.exe README.txt docs/report-format.md docs/windows.md examples/sample.log examples/sample.expected; do
  [ -f "$top/$f" ] || { echo "missing in the zip: $f"; exit 1; }
done
# Only DLLs every Windows has: the C and C++ runtimes, winpthread and zlib are linked in.
dlls=$(x86_64-w64-mingw32-objdump -p "$top/truno-decode.exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort | tr '\n' ' ')
echo "the .exe imports: $dlls"
for dll in $dlls; do
  case "$dll" in
    kernel32.dll|msvcrt.dll|shell32.dll|advapi32.dll|user32.dll|ws2_32.dll) ;;
    *) echo "the .exe needs $dll, which is not in the zip"; exit 1 ;;
  esac
done
"$wine" "$top/truno-decode.exe" --crlf -q "$top/examples/sample.log" > "$unpacked/sample.out"
cmp "$unpacked/sample.out" "$top/examples/sample.expected"
rm -rf "$unpacked"
echo "windows build, tests and zip passed"
