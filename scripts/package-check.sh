#!/usr/bin/env bash
# Installs the Debian package in a clean Debian 12 root (mmdebstrap, minbase) with apt and without
# recommended packages, so only its declared dependencies come in, and starts the installed
# program there once headless against the simulator (scripts/package-run.sh). Needs root, the
# network or a mirror, and a built tree; takes a few minutes. Not part of CI.
# Usage: scripts/package-check.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
[ "$(id -u)" -eq 0 ] || { echo "package-check: run as root" >&2; exit 1; }
command -v mmdebstrap >/dev/null ||
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq mmdebstrap >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" >cpack.log) ||
    { cat "$work/cpack.log" >&2; exit 1; }
deb=$(ls "$work"/halvex_*_amd64.deb)
echo "package-check: $(basename "$deb"), Depends: $(dpkg-deb -f "$deb" Depends)"

# mmdebstrap mounts what the root needs (/dev, /proc) around its hooks and unmounts it after.
mmdebstrap --variant=minbase --quiet \
    --customize-hook="copy-in $deb $PWD/scripts/package-run.sh /tmp" \
    --customize-hook='chroot "$1" dpkg-query -W -f "\${binary:Package}\n" | wc -l |
        sed "s/^/package-check: packages before: /"' \
    --customize-hook="chroot \"\$1\" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q \
        --no-install-recommends /tmp/$(basename "$deb") >\"\$1/tmp/apt.log\" 2>&1 ||
        { cat \"\$1/tmp/apt.log\"; exit 1; }; tail -3 \"\$1/tmp/apt.log\"" \
    --customize-hook='chroot "$1" dpkg-query -W -f "\${binary:Package}\n" | wc -l |
        sed "s/^/package-check: packages after: /"' \
    --customize-hook='chroot "$1" bash /tmp/package-run.sh' \
    bookworm "$work/root" /etc/apt/sources.list.d/debian.sources
echo "package-check: the package installed and ran in a clean Debian 12 root"
