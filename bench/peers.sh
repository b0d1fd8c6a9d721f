#!/usr/bin/env bash
# The console beside other serial programs on the same stream: the simulated unit's load stream
# (seed 1, about 15 bytes a line) over a pseudo-terminal, each program reading it under Xvfb.
# CPU is user+sys time of the reading program's own process (the X server and the simulator are
# not counted), from /proc/<pid>/stat.
#
#   paced:   the stream at a saturated 115200 bit/s (11520 bytes/s, 10 bits a byte), CPU % of a
#            core over --seconds (default 60) after a few seconds of warm-up.
#   million: --lines lines (default 1000000) as fast as the pseudo-terminal takes them; CPU
#            seconds from the port's opening to the last line, start-up cost taken off (measured
#            in a run with a line a second), and the growth of resident memory scaled to 1M lines.
#
# Usage: bench/peers.sh [--seconds N] [--lines N] [--runs N] [--build DIR] [PROGRAM...]
#   PROGRAM: console (default), cutecom, gtkterm, putty, picocom, floor, or all.
#   floor: the console's polling alone (bench/floor/TickFloor.cpp), a window and a 10-ms tick that
#   reads the port and drops the bytes: the least the console's driver can cost on this machine.
# Programs that are missing are installed from Debian (apt-get, with sudo when not root) on
# demand; scripts/test never runs this script.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=60
lines=1000000
runs=3
build=build
programs=()
while [ $# -gt 0 ]; do
    case "$1" in
        --seconds) seconds=$2; shift 2 ;;
        --lines) lines=$2; shift 2 ;;
        --runs) runs=$2; shift 2 ;;
        --build) build=$2; shift 2 ;;
        -h|--help) sed -n '2,19p' "$0"; exit 0 ;;
        all) programs+=(console cutecom gtkterm putty picocom floor); shift ;;
        console|cutecom|gtkterm|putty|picocom|floor) programs+=("$1"); shift ;;
        *) echo "peers.sh: unknown argument $1" >&2; exit 2 ;;
    esac
done
[ ${#programs[@]} -gt 0 ] || programs=(console)

sim=$build/tools/sim/revodive-sim
console=$build/revodive
floor=$build/bench/revodive-tickfloor
warmup=3
line_bytes=15                              # the load stream's mean line, CR LF included
paced_rate=$((11520 / line_bytes))         # lines per second at 115200 bit/s
clk=$(getconf CLK_TCK)

sudo_if_needed() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
need_package() {  # command package
    command -v "$1" >/dev/null 2>&1 && return 0
    echo "peers.sh: installing $2 from Debian" >&2
    sudo_if_needed apt-get install -y --no-install-recommends "$2" >/dev/null
}

need_package Xvfb xvfb
for p in "${programs[@]}"; do
    case $p in
        console) [ -x "$console" ] && [ -x "$sim" ] ||
            cmake --build "$build" -j2 --target revodive revodive-sim >/dev/null ;;
        floor) [ -x "$floor" ] && [ -x "$sim" ] ||
            cmake --build "$build" -j2 --target revodive-tickfloor revodive-sim >/dev/null ;;
        cutecom) need_package cutecom cutecom; need_package xdotool xdotool ;;
        gtkterm) need_package gtkterm gtkterm ;;
        putty) need_package putty putty ;;
        picocom) need_package picocom picocom ;;
    esac
done

work=$(mktemp -d /tmp/revodive-peers-XXXXXX)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

export XDG_RUNTIME_DIR=$work/run HOME=$work/home
mkdir -p "$XDG_RUNTIME_DIR" "$HOME"
chmod 700 "$XDG_RUNTIME_DIR"
mkfifo "$work/display"
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
read -r -t 10 display <"$work/display" || { echo "peers.sh: Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$display

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo 0; }
rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$1/status" 2>/dev/null || echo 0; }

# Starts the simulated unit; sets sim_pid and device. Arguments after the port: the sim's mode.
start_sim() {
    local port=$1
    shift
    : > "$work/sim.out"
    "$sim" --port "$port" --seed 1 "$@" > "$work/sim.out" 2>/dev/null &
    sim_pid=$!
    pids+=("$sim_pid")
    for _ in $(seq 100); do
        device=$(sed -n 's/.* -> //p' "$work/sim.out")
        [ -n "$device" ] && return 0
        sleep 0.05
    done
    echo "peers.sh: the simulated unit did not publish its port" >&2
    exit 1
}

# Starts program $1 reading COM$2 (device $device); sets reader_pid, the process measured, and
# reader_wrapper, a process around it that must go with it (or nothing).
start_reader() {
    local program=$1 port=$2
    reader_wrapper=
    case $program in
        console)
            REVODIVE_DEMO_PORT=$port "$console" >/dev/null 2>&1 &
            reader_pid=$! ;;
        floor)
            "$floor" "$device" >/dev/null 2>&1 &
            reader_pid=$! ;;
        gtkterm)
            gtkterm --port "$device" --speed 115200 >/dev/null 2>&1 &
            reader_pid=$! ;;
        putty)
            putty -serial "$device" -sercfg 115200,8,n,1,N >/dev/null 2>&1 &
            reader_pid=$! ;;
        picocom)
            # picocom wants a terminal: script(1) gives it one and throws the screen away.
            script -qfec "picocom -q -b 115200 --noreset --nolock $device" /dev/null \
                < <(sleep 3600 2>/dev/null) >/dev/null 2>&1 &
            local wrapper=$!
            reader_wrapper=$wrapper
            reader_pid=
            for _ in $(seq 100); do
                reader_pid=$(pgrep -P "$wrapper" -x picocom || true)
                [ -n "$reader_pid" ] && break
                sleep 0.05
            done ;;
        cutecom)
            # CuteCom opens no device by itself: its session names the device, then "Open".
            mkdir -p "$HOME/.config/CuteCom"
            printf '[CuteCom]\nsession=Default\n\n[sessions]\n1\\name=Default\n1\\Device=%s\n1\\BaudRate=115200\nsize=1\n' \
                "$device" > "$HOME/.config/CuteCom/CuteCom.conf"
            cp "$HOME/.config/CuteCom/CuteCom.conf" "$HOME/.config/CuteCom/CuteCom5.conf"
            cutecom >/dev/null 2>&1 &
            reader_pid=$!
            sleep 2
            local win
            win=$(xdotool search --sync --onlyvisible --pid "$reader_pid" 2>/dev/null | head -1)
            xdotool windowactivate --sync "$win" key --clearmodifiers alt+o 2>/dev/null || true ;;
    esac
    [ -n "$reader_pid" ] || { echo "peers.sh: $program did not start" >&2; exit 1; }
    pids+=("$reader_pid")
}

stop() { kill "$@" 2>/dev/null || true; for p in "$@"; do wait "$p" 2>/dev/null || true; done; }
# The runs are made in subshells, whose processes the exit trap does not know: each run stops its
# own. script(1) left without its program spins on a core and does not heed SIGTERM.
stop_reader() {
    stop "$reader_pid"
    [ -n "$reader_wrapper" ] || return 0
    kill -9 "$reader_wrapper" 2>/dev/null || true
    wait "$reader_wrapper" 2>/dev/null || true
}

paced_run() {  # program port -> CPU % of a core
    local port=$2
    start_sim "$port" --rate "$paced_rate" --duration $((seconds + warmup + 5))
    start_reader "$1" "$port"
    sleep "$warmup"
    local c0 c1
    c0=$(cpu_ticks "$reader_pid")
    sleep "$seconds"
    c1=$(cpu_ticks "$reader_pid")
    stop_reader; stop "$sim_pid"
    awk -v d=$((c1 - c0)) -v hz="$clk" -v s="$seconds" 'BEGIN {printf "%.1f", 100 * d / hz / s}'
}

million_run() {  # program port -> "CPU-seconds MB-per-1M-lines"
    # Start-up alone: the same program on a port that stays all but silent (a line a second). The
    # unit stays on the line, so a program that quits when it hangs up (picocom) is still there to
    # be measured.
    local port=$2
    start_sim "$port" --rate 1 --duration $((warmup + 30))
    start_reader "$1" "$port"
    sleep "$warmup"
    local idle_cpu idle_rss
    idle_cpu=$(cpu_ticks "$reader_pid")
    idle_rss=$(rss_kb "$reader_pid")
    stop_reader; stop "$sim_pid"

    port=$((port + 1))
    start_sim "$port" --rate 10000000 --count "$lines"
    start_reader "$1" "$port"
    # The unit ends once the reader has taken every line; a reader that does not read (a program
    # that did not open the port) would keep it waiting for ever: "-" then.
    # A program that quits when the unit hangs up (picocom) is measured by its last sample.
    local limit=$((lines / 1000 + 120)) cpu=0 rss=0
    sample() {
        local c r
        c=$(cpu_ticks "$reader_pid")
        r=$(rss_kb "$reader_pid")
        if [ "${c:-0}" -gt 0 ]; then cpu=$c; rss=$r; fi
    }
    for _ in $(seq "$limit"); do
        sample
        kill -0 "$sim_pid" 2>/dev/null || break
        sleep 1
    done
    if kill -0 "$sim_pid" 2>/dev/null; then
        stop_reader; stop "$sim_pid"
        echo "- -"
        return
    fi
    sleep 1
    sample
    stop_reader
    awk -v c=$((cpu - idle_cpu)) -v hz="$clk" -v r=$((rss - idle_rss)) -v n="$lines" \
        'BEGIN {m = r / 1024 * 1000000 / n; if (m > -0.5 && m < 0.5) m = 0; printf "%.1f %.0f\n", c / hz, m}'
}

port=10
printf '%-10s | %-36s | %-30s | %s\n' "Program" "115200 bit/s paced (CPU % of a core)" \
    "$lines lines (CPU-s)" "Memory growth per 1M lines (MB)"
for p in "${programs[@]}"; do
    paced=() million=() memory=()
    for _ in $(seq "$runs"); do
        port=$((port + 3))
        paced+=("$(paced_run "$p" "$port")")
        read -r c m < <(million_run "$p" $((port + 1)))
        million+=("$c")
        memory+=("$m")
    done
    printf '%-10s | %-36s | %-30s | %s\n' "$p" "${paced[*]}" "${million[*]}" "${memory[*]}"
done
