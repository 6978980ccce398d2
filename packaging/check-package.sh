#!/usr/bin/env bash
# Unpacks the Debian package into a scratch root and checks what it holds: the programs
# answer --version from there, the launcher entries and metadata pass their validators, and
# the dependencies name the libraries the programs link.
set -euo pipefail
deb=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"

expected=(
    usr/bin/Zorbin
    usr/share/applications/example.zorbin.Zorbin.desktop
    usr/share/applications/example.zorbin.CDB.desktop
    usr/share/icons/hicolor/scalable/apps/example.zorbin.Zorbin.svg
    usr/share/icons/hicolor/scalable/apps/example.zorbin.CDB.svg
    usr/share/metainfo/example.zorbin.Zorbin.metainfo.xml
    usr/share/doc/zorbin/about.html
    usr/share/doc/zorbin/copyright
    usr/share/doc/zorbin/Vazirmatn-OFL.txt
    usr/share/doc/zorbin/bootstrap-icons-LICENSE.txt
)
grep -q '^Exec=CDB.Zorbin' packaging/example.zorbin.CDB.desktop && [ -f src/converter/CMakeLists.txt ] &&
    expected+=(usr/bin/CDB.Zorbin)
status=0
for f in "${expected[@]}"; do
    [ -e "$root/$f" ] || { echo "package-check: missing $f"; status=1; }
done
echo "package-check: contents"
(cd "$root" && find . -type f -printf '  %P  %s bytes\n' | sort)

for program in "$root"/usr/bin/*; do
    name=$(basename "$program")
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= "$program" --version)
    [ "$out" = "$name 2.0" ] || { echo "package-check: $name --version said '$out'"; status=1; }
    echo "package-check: $out"
done

desktop-file-validate "$root"/usr/share/applications/*.desktop || status=1
appstreamcli validate --no-net --pedantic "$root"/usr/share/metainfo/*.metainfo.xml || status=1

depends=$(dpkg-deb -f "$deb" Depends)
echo "package-check: Depends: $depends"
for lib in libqt6widgets6 libsqlcipher; do
    grep -q "$lib" <<<"$depends" || { echo "package-check: Depends lacks $lib"; status=1; }
done
[ $status -eq 0 ] && echo "package-check: passed"
exit $status
