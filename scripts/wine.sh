#!/usr/bin/env bash
# How pardim starts Wine: the one place that decides the loader, the wineserver and the prefix,
# for the test scripts (which source this file) and for pardim-host run (which calls it).
#
# Debian's `wine` wrapper always takes the 32-bit loader when wine32:i386 is installed, and some
# machines refuse every 32-bit program ("Exec format error": the kernel's 32-bit emulation is
# off). So a 64-bit exe runs through the 64-bit loader, with WINELOADER and WINESERVER naming it
# for the child processes too, and a 32-bit exe runs only where the probe says 32-bit programs run.
#
# As a command:
#   wine.sh probe               one line: whether this machine runs 32-bit programs (exit 0 yes, 1 no)
#   wine.sh env EXE [auto]      the KEY=VALUE lines of the environment that runs EXE under Wine
#                               (exit 3 with a message when this machine cannot run it); with
#                               auto, also checks for what an unattended run needs (Xvfb, xdotool)
#   wine.sh prepare PREFIX EXE  makes PREFIX a quiet prefix for EXE (fonts, title bars, no Mono
#                               or Gecko offers); does nothing when PREFIX is already made
#   wine.sh display FIRST       starts Xvfb on the first free display from :FIRST and prints the
#                               display and its process id; it runs until that process is ended
#   wine.sh run [--arg ARG]... PREFIX EXE show|auto TIMEOUT LOG [KEY...]
#                               one run of the tool as the host makes it (see wine_run), the exe
#                               started with each ARG (the continuous BAT's /quick, say)
# Sourced: wine_probe, wine_use EXE, wine_prepare PREFIX, wine_display FIRST, wine_run, and wine,
# wineserver, winepath and regedit (functions that go through the chosen loader).
# PARDIM_RUNS_32BIT=0 or 1 in the environment stands for the probe: the probe runs once, and
# PARDIM_RUNS_32BIT=0 shows what a machine without 32-bit programs does.

wine_dir=/usr/lib/wine
wine_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

wine_exe_args=()  # what wine_run starts the exe with

# Sets PARDIM_RUNS_32BIT (1 or 0) and PARDIM_RUNS_32BIT_WHY, unless they are set already.
wine_probe() {
    if [ -n "${PARDIM_RUNS_32BIT:-}" ]; then
        : "${PARDIM_RUNS_32BIT_WHY:=PARDIM_RUNS_32BIT=$PARDIM_RUNS_32BIT was given}"
    elif [ ! -x "$wine_dir/wine" ]; then
        PARDIM_RUNS_32BIT=0 PARDIM_RUNS_32BIT_WHY="32-bit Wine ($wine_dir/wine, wine32:i386) is not installed"
    elif out=$("$wine_dir/wine" --version 2>&1); then
        PARDIM_RUNS_32BIT=1 PARDIM_RUNS_32BIT_WHY="32-bit Wine runs ($out)"
    else
        PARDIM_RUNS_32BIT=0
        PARDIM_RUNS_32BIT_WHY="32-bit Wine does not start: $(tail -n 1 <<<"$out")"
    fi
    export PARDIM_RUNS_32BIT PARDIM_RUNS_32BIT_WHY
}

# The architecture of a PE image: x86, x86-64 or nothing.
wine_arch_of() {
    local offset machine
    offset=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ') || return 1
    machine=$(od -An -tx2 -j$((offset + 4)) -N2 "$1" 2>/dev/null | tr -d ' ') || return 1
    case $machine in
        014c) echo x86 ;;
        8664) echo x86-64 ;;
        *) return 1 ;;
    esac
}

# Chooses the loader and server for EXE and exports them; false (with a message) when this
# machine cannot run it.
wine_use() {
    local arch
    arch=$(wine_arch_of "$1") || { echo "wine: $1 is not a Windows exe" >&2; return 2; }
    if [ "$arch" = x86-64 ]; then
        export WINELOADER=$wine_dir/wine64
    else
        wine_probe
        if [ "$PARDIM_RUNS_32BIT" != 1 ]; then
            echo "wine: cannot run the 32-bit $1 here: $PARDIM_RUNS_32BIT_WHY" >&2
            return 3
        fi
        export WINELOADER=$wine_dir/wine
    fi
    if [ ! -x "$WINELOADER" ]; then
        echo "wine: $WINELOADER is missing (Debian package $([ "$arch" = x86 ] && echo wine32:i386 || echo wine64))" >&2
        return 2
    fi
    export WINESERVER=$wine_dir/wineserver64
    [ -x "$WINESERVER" ] || WINESERVER=$wine_dir/wineserver32
    export WINEDEBUG=${WINEDEBUG:--all}
    export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree=;mshtml=}
    unset WINEARCH
}

wine() { "$WINELOADER" "$@"; }
wineserver() { "$WINESERVER" "$@"; }
winepath() { "$WINELOADER" winepath "$@" 2>/dev/null; }
regedit() { "$WINELOADER" regedit "$@"; }

# A fresh prefix, quiet, with the dialog's stand-in font and Japanese title bars
# (tests/wine/wine-prefix.reg). Windows has no built-in copies of its DLLs, Wine does: callers
# that need the system's search order set WINEDLLOVERRIDES themselves.
wine_prepare() {
    local prefix=$1
    [ -f "$prefix/.pardim-ready" ] && return 0
    mkdir -p "$prefix"
    export WINEPREFIX=$prefix
    wine wineboot --init >"$prefix/wineboot.log" 2>&1 || { echo "wine: wineboot failed (see $prefix/wineboot.log)" >&2; return 1; }
    wineserver -w
    { printf '\xff\xfe'; sed 's/$/\r/' "$wine_here/../tests/wine/wine-prefix.reg" | iconv -f UTF-8 -t UTF-16LE; } >"$prefix/pardim.reg"
    regedit /S "$(winepath -w "$prefix/pardim.reg")" >/dev/null 2>&1
    # Wine draws its caption buttons with Marlett; without it the title bar shows letters.
    cp /usr/share/wine/fonts/marlett.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
    wineserver -w
    : >"$prefix/.pardim-ready"
}

# Starts Xvfb on the first free display from number $1; exports DISPLAY and XVFB_PID.
wine_display() {
    local n
    for n in $(seq "$1" $(($1 + 99))); do
        { [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; } && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
        XVFB_PID=$!
        for _ in $(seq 50); do
            kill -0 "$XVFB_PID" 2>/dev/null || break  # the display was taken meanwhile
            if xdpyinfo -display ":$n" >/dev/null 2>&1; then
                export DISPLAY=":$n" XVFB_PID
                return 0
            fi
            sleep 0.2
        done
        kill "$XVFB_PID" 2>/dev/null || true
    done
    echo "wine: could not start Xvfb on a free display (is xvfb installed?)" >&2
    return 1
}

# One run of the tool as the host makes it: EXE in its own folder under Wine, on $DISPLAY
# (mode show: the user answers the dialog) or on a display of its own (mode auto: waits up to
# TIMEOUT seconds for the dialog, gives it the keyboard and types KEYS like a user; a dialog still
# open five seconds later, after a refused value or the zero-length message, gets Enter and
# Escape). Wine's own messages go to LOG. Status 0 when the tool ended, 2 when it could not run
# or did not end in time.
wine_run() {
    local prefix=$1 exe=$2 mode=$3 timeout=$4 log=$5 pid window="" end status=0
    shift 5
    wine_use "$exe" || return 2
    if [ "$mode" = auto ]; then
        wine_display 140 || return 2
    fi
    [ -f "$prefix/.pardim-ready" ] || echo "run: preparing the Wine prefix $prefix (once)"
    wine_prepare "$prefix" >>"$log" 2>&1 || { echo "wine: wineboot could not prepare $prefix" >&2; wine_end_display; return 2; }
    echo "run: $WINELOADER $exe${wine_exe_args[*]:+ ${wine_exe_args[*]}} ($([ "$mode" = auto ] && echo own display || echo display) $DISPLAY)"
    (cd "$(dirname "$exe")" && exec "$WINELOADER" "$exe" "${wine_exe_args[@]}") >>"$log" 2>&1 &
    pid=$!
    if [ "$mode" != auto ]; then
        echo "run: the dialog is open (unless a quick run draws without it); press OK or Cancel there"
        wait "$pid" || true
        return 0
    fi
    end=$((SECONDS + timeout))
    while [ -z "$window" ] && kill -0 "$pid" 2>/dev/null; do
        if [ "$SECONDS" -ge "$end" ]; then
            echo "wine: the dialog did not appear within $timeout s" >&2
            status=2
            break
        fi
        sleep 0.3
        window=$(xdotool search --onlyvisible --name '^平行寸法線$' 2>/dev/null | head -n 1 || true)
    done
    if [ -n "$window" ]; then
        sleep 0.8  # let it finish painting and take its focus
        xdotool windowfocus "$window" 2>>"$log" || true
        sleep 0.3
        wine_keys "$@"
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null && sleep 0.1; done
        if kill -0 "$pid" 2>/dev/null; then
            echo "run: the dialog stayed open after OK; closing it with Enter and Escape"
            wine_keys Return Escape
        fi
        end=$((SECONDS + timeout))
        while kill -0 "$pid" 2>/dev/null && [ "$SECONDS" -lt "$end" ]; do sleep 0.2; done
        if kill -0 "$pid" 2>/dev/null; then
            echo "wine: the dialog did not close within $timeout s" >&2
            status=2
        fi
    fi
    wineserver -k >/dev/null 2>&1 || true
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    wine_end_display
    return "$status"
}

wine_keys() {
    local key
    for key in "$@"; do
        xdotool key "$key" 2>/dev/null || true
        sleep 0.4
    done
}

wine_end_display() {
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=""
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    set -euo pipefail
    case "${1:-} $#" in
        "probe 1")
            wine_probe
            echo "wine: this machine $([ "$PARDIM_RUNS_32BIT" = 1 ] && echo runs || echo does not run) 32-bit programs ($PARDIM_RUNS_32BIT_WHY)"
            [ "$PARDIM_RUNS_32BIT" = 1 ] ;;
        "env 2" | "env 3")
            if [ "${3:-}" = auto ]; then
                for need in Xvfb:xvfb xdotool:xdotool xdpyinfo:x11-utils; do
                    command -v "${need%%:*}" >/dev/null ||
                        { echo "wine: ${need%%:*} is missing (Debian package ${need#*:})" >&2; exit 2; }
                done
            fi
            wine_use "$2"
            for name in WINELOADER WINESERVER WINEDEBUG WINEDLLOVERRIDES; do echo "$name=${!name}"; done ;;
        "prepare 3")
            wine_use "$3"
            wine_prepare "$2" ;;
        "display 2")
            wine_display "$2"
            echo "$DISPLAY $XVFB_PID" ;;
        run\ *)
            shift
            while [ "${1:-}" = --arg ] && [ $# -ge 2 ]; do
                wine_exe_args+=("$2")
                shift 2
            done
            [ $# -ge 5 ] || { echo "usage: wine.sh run [--arg ARG]... PREFIX EXE show|auto TIMEOUT LOG [KEY...]" >&2; exit 2; }
            wine_run "$@" ;;
        *)
            echo "usage: wine.sh probe | env EXE [auto] | prepare PREFIX EXE | display FIRST | run ..." >&2
            exit 2 ;;
    esac
fi
