# Helpers of the end-to-end run: a virtual display, a Wine prefix of our own,
# the viewer started in assets/, and ways to wait for what the screen shows.
# Sourced by scripts/e2e.sh and scripts/run.sh. Every wait polls a condition
# against a deadline: fixed sleeps alone fail on a loaded machine.

E2E_TIMEOUT=${E2E_TIMEOUT:-45}  # seconds any single condition may take
E2E_XVFB_PID=""
E2E_VIEWER_PID=""
E2E_VIEWER_START_NS=0

e2e_log() { printf '%s\n' "$*" >&2; }
e2e_now_ns() { date +%s%N; }

# e2e_setup WORKDIR: Xvfb on a display number the server picks itself
# (-displayfd, so parallel runs never collide), or on :$E2E_DISPLAY when that
# is set, of E2E_SCREEN (default 1024x768x24), and a Wine prefix under the
# build tree (or E2E_WINEPREFIX), owned by whoever runs this (Wine refuses
# someone else's).
e2e_setup() {
    E2E_WORK=$1
    mkdir -p "$E2E_WORK"
    local fdfile="$E2E_WORK/display"
    rm -f "$fdfile"
    Xvfb ${E2E_DISPLAY:+":$E2E_DISPLAY"} -displayfd 9 -screen 0 "${E2E_SCREEN:-1024x768x24}" -nolisten tcp 9>"$fdfile" >"$E2E_WORK/xvfb.log" 2>&1 &
    E2E_XVFB_PID=$!
    local deadline=$((SECONDS + E2E_TIMEOUT))
    while [ ! -s "$fdfile" ]; do
        if ! kill -0 "$E2E_XVFB_PID" 2>/dev/null || [ $SECONDS -ge $deadline ]; then
            e2e_log "Xvfb did not start"; cat "$E2E_WORK/xvfb.log" >&2; return 1
        fi
        sleep 0.05
    done
    export DISPLAY=":$(head -n1 "$fdfile")"
    export WINEPREFIX=${E2E_WINEPREFIX:-$(dirname "$E2E_WORK")/wineprefix-$(id -u)}
    export WINEDEBUG=-all
    # No Mono or Gecko installers: the viewer needs neither.
    export WINEDLLOVERRIDES="mscoree,mshtml="
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        e2e_log "Creating the Wine prefix $WINEPREFIX (the first time takes a while)"
        wineboot -i >"$E2E_WORK/wineboot.log" 2>&1 || true
        # A crashing program must end, not wait in Wine's crash dialog.
        wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
            >>"$E2E_WORK/wineboot.log" 2>&1 || true
        wineserver -w
    fi
}

e2e_teardown() {
    if [ -n "$E2E_VIEWER_PID" ]; then kill "$E2E_VIEWER_PID" 2>/dev/null || true; fi
    if [ -n "${WINEPREFIX:-}" ]; then wineserver -k 2>/dev/null || true; fi
    if [ -n "$E2E_XVFB_PID" ]; then kill "$E2E_XVFB_PID" 2>/dev/null || true; fi
    E2E_VIEWER_PID=""
    E2E_XVFB_PID=""
}

# e2e_start_viewer EXE DIR [VAR=VALUE...] [-- ARG...]: the viewer under Wine,
# working directory DIR, with extra environment (e.g. MESA_EXTENSION_OVERRIDE)
# and the arguments after "--" on its command line.
e2e_start_viewer() {
    local exe=$1 assets=$2 settings=()
    shift 2
    while [ $# -gt 0 ] && [ "$1" != -- ]; do
        settings+=("$1")
        shift
    done
    [ $# -gt 0 ] && shift
    E2E_VIEWER_START_NS=$(e2e_now_ns)
    # Wine reads Linux file names in the locale's character set: under the C
    # locale it would see other names than those of folders in Cyrillic or
    # Chinese, so it runs in UTF-8 whatever the caller's locale.
    (cd "$assets" && exec env LC_ALL=C.UTF-8 "${settings[@]}" wine "$exe" "$@") \
        >>"$E2E_WORK/viewer.log" 2>&1 &
    E2E_VIEWER_PID=$!
}

# e2e_wait_exit: sets E2E_EXIT_CODE to the viewer's exit code, or to 124 when
# it outlives the deadline; then it is ended, with all of Wine, so the next
# start begins clean. (Not in a $(...) subshell: wait needs the parent.)
e2e_wait_exit() {
    local deadline=$((SECONDS + E2E_TIMEOUT))
    E2E_EXIT_CODE=124
    while kill -0 "$E2E_VIEWER_PID" 2>/dev/null; do
        if [ $SECONDS -ge $deadline ]; then
            wineserver -k 2>/dev/null || true
            wait "$E2E_VIEWER_PID" 2>/dev/null || true
            E2E_VIEWER_PID=""
            return
        fi
        sleep 0.05
    done
    E2E_EXIT_CODE=0
    wait "$E2E_VIEWER_PID" || E2E_EXIT_CODE=$?
    E2E_VIEWER_PID=""
}

# e2e_find_window TITLE: id of a visible window titled exactly TITLE, or nothing.
e2e_find_window() {
    xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1
}

# e2e_wait_window TITLE: waits for it and prints its id; fails at the deadline.
e2e_wait_window() {
    local deadline=$((SECONDS + E2E_TIMEOUT)) window
    while :; do
        window=$(e2e_find_window "$1")
        if [ -n "$window" ]; then echo "$window"; return 0; fi
        if [ $SECONDS -ge $deadline ]; then return 1; fi
        sleep 0.05
    done
}

# e2e_wait_window_gone TITLE
e2e_wait_window_gone() {
    local deadline=$((SECONDS + E2E_TIMEOUT))
    while [ -n "$(e2e_find_window "$1")" ]; do
        if [ $SECONDS -ge $deadline ]; then return 1; fi
        sleep 0.05
    done
}

# e2e_geometry WINDOW: "X Y WIDTH HEIGHT" of the window on the screen.
e2e_geometry() {
    xwininfo -id "$1" | awk '
        /Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
        /^ *Width:/ {w = $NF} /^ *Height:/ {h = $NF}
        END {print x, y, w, h}'
}

# e2e_shot NAME: the whole screen as $E2E_WORK/NAME.ppm (and the path printed).
e2e_shot() {
    local path="$E2E_WORK/$1.ppm"
    import -window root -depth 8 "$path"
    echo "$path"
}

# e2e_png NAME: keeps a screenshot as PNG for people to look at.
e2e_png() {
    convert "$E2E_WORK/$1.ppm" "$E2E_WORK/$1.png"
    echo "$E2E_WORK/$1.png"
}
