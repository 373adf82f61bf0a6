#!/usr/bin/env bash
# Builds the Debian package, checks its contents and dependencies, installs it with apt-get and
# decodes the installed example with the installed tool.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default >/dev/null
rm -f build/default/truno-decoder_*.deb
(cd build/default && cpack -G DEB >/dev/null)
deb=$(ls build/default/truno-decoder_*.deb)
echo "package: $deb"

contents=$(dpkg-deb -c "$deb")
for f in ./usr/bin/truno-decode ./usr/bin/truno-decoder ./usr/share/applications/truno-decoder.desktop \
         ./usr/share/man/man1/truno-decode.1 ./usr/share/man/man1/truno-decoder.1 \
         ./usr/share/doc/truno-decoder/examples/sample.log ./usr/share/doc/truno-decoder/report-format.md; do
  grep -q " $f\$" <<< "$contents" || grep -q " $f " <<< "$contents" || { echo "missing in package: $f"; exit 1; }
done
grep -q '/usr/share/icons/hicolor/.*/apps/truno-decoder\.' <<< "$contents" || { echo "missing in package: icon"; exit 1; }
depends=$(dpkg-deb -f "$deb" Depends)
echo "depends: $depends"
for d in libqt6widgets6 libqt6gui6 libqt6core6 libstdc++6 fonts-liberation; do
  grep -q "$d" <<< "$depends" || { echo "missing dependency: $d"; exit 1; }
done

DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --reinstall "./$deb" >/dev/null
out=$(mktemp)
/usr/bin/truno-decode --crlf -q /usr/share/doc/truno-decoder/examples/sample.log > "$out"
cmp "$out" /usr/share/doc/truno-decoder/examples/sample.expected
rm -f "$out"
man -w truno-decode >/dev/null 2>&1 || [ -f /usr/share/man/man1/truno-decode.1.gz ] || [ -f /usr/share/man/man1/truno-decode.1 ]
echo "package test passed"
