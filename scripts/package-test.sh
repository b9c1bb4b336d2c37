#!/usr/bin/env bash
# Builds the Debian package from a built tree, checks its files and dependencies, installs it
# with apt, starts the installed program once headless against the simulator
# (scripts/package-run.sh) and removes the package again. Run as root (or with sudo).
# Usage: scripts/package-test.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
sudo_cmd=""
[ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"

out=$(mktemp -d)
installed=""
cleanup() {
    if [ -n "$installed" ]; then
        DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get purge -y -qq halvex >/dev/null
    fi
    rm -rf "$out"
}
trap cleanup EXIT

version=$(awk -F= '/^CMAKE_PROJECT_VERSION:/{print $2}' "$build/CMakeCache.txt")
(cd "$out" && cpack -G DEB --config "$build/CPackConfig.cmake" >cpack.log) ||
    { cat "$out/cpack.log" >&2; exit 1; }
deb=$out/halvex_${version}_amd64.deb
[ -f "$deb" ] || { echo "package-test: no $deb" >&2; ls "$out" >&2; exit 1; }
echo "package-test: built $(basename "$deb") ($(du -k "$deb" | cut -f1) KiB)"

files=$(dpkg-deb -c "$deb" | awk '{print $NF}' | sed 's|^\./|/|')
for f in /usr/bin/halvex /usr/bin/halvex-timing-sim /usr/bin/halvex-station \
    /usr/share/halvex/event-server/event-server.sh /usr/share/halvex/event-server/event-server.sql \
    /usr/lib/halvex/halvex-browser \
    /usr/lib/halvex/halvex-sound.so /usr/lib/halvex/halvex-print.so /usr/lib/halvex/halvex-xlsx.so \
    /usr/share/halvex/TIPOFDAY.txt /usr/share/halvex/Coindrop.wav /usr/share/halvex/Vantora.html \
    /usr/share/halvex/sample-home/DragRacingSettings.dat \
    /usr/share/halvex/sample-home/DragRacers.dat /usr/share/halvex/sample-home/DragCars.dat \
    /usr/share/halvex/sample-home/DragClass.dat /usr/share/halvex/sample-home/DragRacing.dat \
    /usr/share/halvex/sample-home/CreditRaces.dat /usr/share/applications/halvex.desktop \
    /usr/share/icons/hicolor/scalable/apps/halvex.svg; do
    grep -qx "$f" <<<"$files" || { echo "package-test: $f missing from the package" >&2; exit 1; }
done
depends=$(dpkg-deb -f "$deb" Depends)
# Those dpkg-shlibdeps finds (the plugins' packages among them, through the modules), and those
# declared by hand.
for p in libqt6widgets6 libqt6gui6 libqt6serialport6 libqt6webenginewidgets6 libxlsxwriter4 \
    libqt6multimedia6 libqt6printsupport6 libqt6webenginecore6-bin qt6-qpa-plugins libqt6sql6-sqlite \
    fonts-dejavu-core; do
    grep -q "\(^\|, \)$p[ ,(]\|\(^\|, \)$p\$" <<<"$depends" ||
        { echo "package-test: $p not in Depends: $depends" >&2; exit 1; }
done
echo "package-test: files and dependencies as they should be"

$sudo_cmd apt-get install -y -qq "$deb" >"$out/apt.log" 2>&1 || { cat "$out/apt.log" >&2; exit 1; }
installed=yes
bash scripts/package-run.sh
echo "package-test: installed, ran and removed $(basename "$deb")"
