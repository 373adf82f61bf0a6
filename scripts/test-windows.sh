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
cmake --build --preset windows
ctest --preset windows

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
wine=$(sed -n 's/^TRUNO_WINE:FILEPATH=//p' "$build/CMakeCache.txt")
WINEPREFIX="$PWD/$build/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8 \
  "$wine" "$top/truno-decode.exe" --crlf -q "$top/examples/sample.log" > "$unpacked/sample.out"
cmp "$unpacked/sample.out" "$top/examples/sample.expected"
rm -rf "$unpacked"
# The prefix's wine server of this build only.
WINEPREFIX="$PWD/$build/wine" "$(dirname "$wine")/wineserver" -k 2>/dev/null || true
echo "windows build, tests and zip passed"
