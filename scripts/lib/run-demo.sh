#!/usr/bin/env bash
# Starts the simulated unit on COM9 and the console; called by scripts/demo after the build.
# With a display: both run until the console's window is closed; press Ctrl+9 to connect.
# Without one: both run under Xvfb on a 1920x1080 screen, the console opens COM9 by itself, writes
# a screenshot of its window after a few seconds and quits; the PNG's path is printed.
set -euo pipefail
cd "$(dirname "$0")/../.."

build=${REVODIVE_BUILD_DIR:-build}  # another build folder can be named for a try-out
console=$build/revodive
simulator=$build/tools/sim/revodive-sim
port=9
seconds=${REVODIVE_DEMO_SECONDS:-6}

sim_pid=
cleanup() {
    if [ -n "$sim_pid" ] && kill -0 "$sim_pid" 2>/dev/null; then
        kill "$sim_pid" 2>/dev/null || true
        wait "$sim_pid" 2>/dev/null || true
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Runs the simulator in the background and waits until its COM link is published.
start_simulator() {
    local log
    log=$(mktemp)
    "$simulator" --port "$port" >"$log" 2>&1 &
    sim_pid=$!
    for _ in $(seq 1 50); do
        if grep -q "COM$port ->" "$log" 2>/dev/null; then
            cat "$log" >&2  # stdout carries only the screenshot's path
            rm -f "$log"
            return 0
        fi
        if ! kill -0 "$sim_pid" 2>/dev/null; then
            cat "$log" >&2
            rm -f "$log"
            echo "run-demo: the simulated unit did not start" >&2
            exit 1
        fi
        sleep 0.1
    done
    cat "$log" >&2
    rm -f "$log"
    echo "run-demo: the simulated unit did not publish COM$port" >&2
    exit 1
}

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    start_simulator
    echo "Connect with Ctrl+9 (or the button 9) in the console."
    "$console"
    exit 0
fi

# No display: a virtual one, the console connecting and taking its own screenshot.
shot=${REVODIVE_DEMO_SCREENSHOT:-$PWD/$build/revodive-demo.png}
case "$shot" in /*) ;; *) shot=$PWD/$shot ;; esac
mkdir -p "$(dirname "$shot")"
rm -f "$shot"
start_simulator
status=0
REVODIVE_DEMO_PORT=$port REVODIVE_DEMO_SCREENSHOT="$shot" REVODIVE_DEMO_SECONDS="$seconds" \
    xvfb-run -a -s "-screen 0 1920x1080x24" "$console" >/dev/null || status=$?
if [ ! -s "$shot" ]; then
    echo "run-demo: the console wrote no screenshot ($shot), exit status $status" >&2
    exit 1
fi
echo "$shot"
if [ "$status" -ne 0 ]; then
    echo "run-demo: the console exited with status $status after the screenshot" >&2
    exit "$status"
fi
