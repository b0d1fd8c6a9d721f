#!/usr/bin/env bash
# Unpacks a built Debian package into a temporary root and starts the installed console there,
# under Xvfb on a 1366x768 screen: it must open its window (it writes a picture of it) and quit
# cleanly within a minute. The simulated unit must answer --help. Usage: try-package.sh <deb>
set -euo pipefail
deb=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"

"$root/usr/bin/revodive-sim" --help >/dev/null

shot=$root/window.png
status=0
REVODIVE_DEMO_SCREENSHOT="$shot" REVODIVE_DEMO_SECONDS=1 QT_QPA_PLATFORM=xcb \
    timeout 60 xvfb-run -a -s "-screen 0 1366x768x24" "$root/usr/bin/revodive" >/dev/null 2>"$root/log" ||
    status=$?
if [ "$status" -ne 0 ] || [ ! -s "$shot" ]; then
    cat "$root/log" >&2
    echo "try-package: the installed console did not open its window (status $status)" >&2
    exit 1
fi
echo "== the installed console opened its window ($(identify -format '%wx%h' "$shot" 2>/dev/null || echo picture))"
