#!/usr/bin/env bash
# End-to-end tests of the Windows viewer: the MinGW-built .exe under Wine on a
# virtual X display (Xvfb) with Mesa, driven by xdotool, the screen read with
# ImageMagick's import and the overlay read by matching the font's glyphs.
#
#   scripts/e2e.sh [VIEWER.exe [HELPERS_DIR]]
#
# Defaults: build/mingw/app/win32/bump_viewer.exe and the native helpers in
# build/native/tests/e2e. Screenshots and logs go to build/e2e/run; the Wine
# prefix is build/e2e/wineprefix-UID. Every step waits for a condition (a
# window, a changed pixel, a text on the overlay) against a deadline, never
# for a fixed time alone. Exit status 0 when every check passed.
set -uo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
EXE=$(realpath "${1:-build/mingw/app/win32/bump_viewer.exe}")
TOOLS=$(realpath "${2:-build/native/tests/e2e}")
ASSETS=$ROOT/assets
WORK=$ROOT/build/e2e/run
FILES=$WORK/files
source tests/e2e/e2e_lib.sh

FAILURES=0
pass() { printf '  ok    %s\n' "$*"; }
fail() {
    printf '  FAIL  %s\n' "$*"
    FAILURES=$((FAILURES + 1))
}
check() {  # check DESCRIPTION COMMAND...
    local what=$1
    shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}
section() { printf '\n--- %s\n' "$*"; }

rm -rf "$WORK"
mkdir -p "$FILES"
trap e2e_teardown EXIT
trap "exit 1" INT TERM
e2e_setup "$WORK" || exit 1
echo "e2e: display $DISPLAY, Wine prefix $WINEPREFIX, screenshots in $WORK"

# ---------------------------------------------------------------- helpers

MAIN=""                 # the viewer's main window
CX=0 CY=0 CW=0 CH=0     # its client area on the screen
CLIENT=""               # its client area's own X window, once there
OVERLAY=""              # the last overlay read, lines joined by '|'
OVERLAY_SCALE=1         # the whole factor the overlay is drawn at (2 at 192 DPI)

# The client area is the window's child window (the window itself is just as
# big when Wine leaves the frame to a window manager).
read_geometry() {
    CLIENT=$(xwininfo -id "$MAIN" -children | awk '/^ +0x/ {print $1; exit}')
    read -r CX CY CW CH < <(e2e_geometry "${CLIENT:-$MAIN}")
}

# snap NAME: screenshot; the path of the PPM in SHOT.
snap() { SHOT=$(e2e_shot "$1"); }

# read_overlay: the overlay of a fresh screenshot into OVERLAY.
read_overlay() {
    # The client window comes with the GL context, a moment after the window.
    [ -n "$CLIENT" ] || read_geometry
    snap "poll"
    OVERLAY=$("$TOOLS/overlay_reader" "$ASSETS/font.tga" "$SHOT" "$CX" "$CY" "$CH" "$OVERLAY_SCALE" |
        paste -sd'|')
}

# wait_overlay REGEX: polls until the overlay matches (grep -E).
wait_overlay() {
    local deadline=$((SECONDS + E2E_TIMEOUT))
    while :; do
        read_overlay
        if grep -qE "$1" <<<"$OVERLAY"; then return 0; fi
        if [ $SECONDS -ge $deadline ]; then
            e2e_log "    overlay still reads '$OVERLAY', waited for /$1/"
            return 1
        fi
    done
}

bump_is() { wait_overlay "^Bump scale: $1\|no error\|FPS: "; }

# The scene is the client area above the overlay's three lines.
scene_diff() {  # scene_diff A.ppm B.ppm -> "COUNT LEFT TOP RIGHT BOTTOM"
    "$TOOLS/screen_diff" "$1" "$2" "$CX" "$CY" "$CW" $((CH - 48 * OVERLAY_SCALE))
}
patch_diff() {  # patch_diff A.ppm B.ppm X Y W H (client coordinates) -> COUNT
    "$TOOLS/screen_diff" "$1" "$2" $((CX + $3)) $((CY + $4)) "$5" "$6" | cut -d' ' -f1
}

# wait_scene_change BEFORE.ppm NAME: polls until the scene differs from BEFORE
# and has settled: two screenshots in a row agree, so a part of the window
# uncovered by a closing dialog and not yet drawn over does not count.
wait_scene_change() {
    local deadline=$((SECONDS + E2E_TIMEOUT)) previous=""
    while :; do
        snap "$2"
        if [ "$(scene_diff "$1" "$SHOT" | cut -d' ' -f1)" -gt 0 ]; then
            if [ -n "$previous" ] && [ "$(scene_diff "$previous" "$SHOT" | cut -d' ' -f1)" -eq 0 ]; then
                return 0
            fi
            previous=$WORK/$2-previous.ppm
            cp "$SHOT" "$previous"
        fi
        if [ $SECONDS -ge $deadline ]; then return 1; fi
    done
}

# A round trip through the message queue at bump scale 0: one keypad plus and
# one minus, each waited for on the overlay. Whatever was sent before has then
# been handled, and the scene is drawn from the same state as before.
marker_round_trip() { xdotool key KP_Add && bump_is 0.01 && xdotool key KP_Subtract && bump_is 0.00; }

scene_unchanged_since() {  # BEFORE.ppm NAME
    snap "$2"
    local count
    count=$(scene_diff "$1" "$SHOT" | cut -d' ' -f1)
    [ "$count" -eq 0 ] || { e2e_log "    $count pixels of the scene changed"; return 1; }
}

# model_box NAME: the model's outline as the box of the pixels that change
# when the bump scale goes from 0.00 to 0.10 (the sky does not depend on it);
# MODEL_W, MODEL_H and the centre MODEL_X, MODEL_Y in client pixels. Expects
# bump scale 0.00 and leaves it there.
model_box() {
    local flat count left top right bottom
    snap "$1-flat"
    flat=$SHOT
    xdotool key --repeat 10 --delay 20 KP_Add
    bump_is 0.10 || return 1
    snap "$1-bumped"
    read -r count left top right bottom < <(scene_diff "$flat" "$SHOT")
    xdotool key --repeat 10 --delay 20 KP_Subtract
    bump_is 0.00 || return 1
    MODEL_W=$((right - left + 1)) MODEL_H=$((bottom - top + 1))
    MODEL_X=$(((left + right) / 2)) MODEL_Y=$(((top + bottom) / 2))
    e2e_log "    model box $1: ${MODEL_W}x${MODEL_H} around ($MODEL_X, $MODEL_Y), $count pixels"
    [ "$count" -gt 0 ]
}

# mean_rgb SHOT.ppm X Y W H: "R G B", the mean over a rectangle of the
# client area.
mean_rgb() {
    convert "$1" -crop "$4x$5+$((CX + $2))+$((CY + $3))" -scale '1x1!' -depth 8 \
        -format '%[fx:int(255*r+0.5)] %[fx:int(255*g+0.5)] %[fx:int(255*b+0.5)]' info:
}
green_over() {  # green_over "R G B" MARGIN: green exceeds red and blue by MARGIN
    local r g b
    read -r r g b <<<"$1"
    [ "$g" -gt $((r + $2)) ] && [ "$g" -gt $((b + $2)) ]
}

within() {  # within VALUE LOW HIGH
    [ "$1" -ge "$2" ] && [ "$1" -le "$3" ] || { e2e_log "    $1 not in [$2, $3]"; return 1; }
}

pointer_at() {  # pointer_at X Y: waits until the pointer is there
    local deadline=$((SECONDS + E2E_TIMEOUT)) x y
    while :; do
        eval "$(xdotool getmouselocation --shell)"
        x=$X y=$Y
        if [ "$x" -eq "$1" ] && [ "$y" -eq "$2" ]; then return 0; fi
        if [ $SECONDS -ge $deadline ]; then
            e2e_log "    pointer at ($x, $y), expected ($1, $2)"
            return 1
        fi
        sleep 0.02
    done
}

cursor_is() {  # cursor_is shown|hidden: waits for it
    local deadline=$((SECONDS + E2E_TIMEOUT)) state
    while :; do
        state=$("$TOOLS/x_probe" cursor | cut -d' ' -f1)
        if [ "$state" = "$1" ]; then return 0; fi
        if [ $SECONDS -ge $deadline ]; then
            e2e_log "    cursor $state, expected $1"
            return 1
        fi
        sleep 0.02
    done
}

# drag BUTTON DX DY: press at the client centre, move by (DX, DY) in steps of
# at most 10 pixels, checking after each that the viewer put the hidden
# cursor back on the anchor, then release and see the cursor again.
drag() {
    local button=$1 dx=$2 dy=$3 ax=$((CX + CW / 2)) ay=$((CY + CH / 2)) step ok=0
    xdotool mousemove "$ax" "$ay" && pointer_at "$ax" "$ay" || return 1
    cursor_is shown || return 1
    xdotool mousedown "$button"
    cursor_is hidden || ok=1
    while [ "$dx" -ne 0 ] || [ "$dy" -ne 0 ]; do
        local sx=$dx sy=$dy
        [ "$sx" -gt 10 ] && sx=10
        [ "$sx" -lt -10 ] && sx=-10
        [ "$sy" -gt 10 ] && sy=10
        [ "$sy" -lt -10 ] && sy=-10
        xdotool mousemove_relative -- "$sx" "$sy"
        pointer_at "$ax" "$ay" || ok=1
        dx=$((dx - sx)) dy=$((dy - sy))
    done
    cursor_is hidden || ok=1
    xdotool mouseup "$button"
    cursor_is shown || ok=1
    return $ok
}

# open_in_dialog TITLE PATH: waits for the dialog, types the path (Wine's
# drive Z: is the Linux root) and confirms; waits until the dialog is gone.
# A path beyond ASCII is pasted (Ctrl+V) from the clipboard instead, which
# Wine takes whole where typed letters outside the keyboard map get lost.
dialog_path() { printf 'Z:%s' "${1//\//\\}"; }
open_in_dialog() {
    e2e_wait_window "$1" >/dev/null || { e2e_log "    no dialog '$1'"; return 1; }
    xdotool key ctrl+a
    if LC_ALL=C grep -q '[^ -~]' <<<"$2"; then
        "$TOOLS/x_probe" clipboard "$(dialog_path "$2")" || return 1
        xdotool key ctrl+v
    else
        xdotool type --delay 5 "$(dialog_path "$2")"
    fi
    xdotool key Return
    e2e_wait_window_gone "$1"
}
cancel_dialog() {
    e2e_wait_window "$1" >/dev/null || { e2e_log "    no dialog '$1'"; return 1; }
    xdotool key Escape
    e2e_wait_window_gone "$1"
}

# start_viewer [VAR=VALUE...] [-- ARG...]: starts it (VIEWER_EXE, default
# $EXE, in VIEWER_DIR, default assets/) and waits for the main window, the
# one titled "OpenGL" (a start-up message box has that title too, so the
# main window is the first one).
start_viewer() {
    e2e_start_viewer "${VIEWER_EXE:-$EXE}" "${VIEWER_DIR:-$ASSETS}" "$@"
    CLIENT=""
    MAIN=$(e2e_wait_window OpenGL) || { e2e_log "    no window titled OpenGL"; return 1; }
    read_geometry
    focus_viewer
}

# Without a window manager the X focus follows the pointer; give it to the
# viewer's window outright, so keys reach it wherever the pointer is.
focus_viewer() { xdotool windowfocus "$MAIN" 2>/dev/null || true; }

# resize_client W H: resizes the window and waits for the client size and
# for a frame drawn at that size (the overlay read at its new place).
resize_client() {
    local deadline=$((SECONDS + E2E_TIMEOUT))
    xdotool windowsize "$MAIN" "$1" "$2"
    until read_geometry && [ "${CW}x${CH}" = "$1x$2" ]; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.05
    done
    focus_viewer
    bump_is 0.00
}

finish_viewer() {  # finish_viewer DESCRIPTION: waits for the exit, expects 0
    e2e_wait_exit
    check "$1: exit code 0 (got $E2E_EXIT_CODE)" test "$E2E_EXIT_CODE" -eq 0
}

# --------------------------------------------------------------- the files

"$TOOLS/e2e_files" "$FILES" || fail "writing the test models"
convert -size 128x128 pattern:checkerboard -fill '#c03020' -opaque white "$FILES/checker_base.tga"
convert -size 128x128 radial-gradient: -colorspace Gray "$FILES/dome_bump.jpg"

# ------------------------------------------------------- the main session

section "Start-up, window and overlay"
start_viewer || { fail "the viewer's window"; exit 1; }
WINDOW_MS=$((($(e2e_now_ns) - E2E_VIEWER_START_NS) / 1000000))
check "window titled OpenGL" test "$(xdotool getwindowname "$MAIN")" = OpenGL
check "client area 800 x 600 (got ${CW}x${CH})" test "${CW}x${CH}" = 800x600
read -r _ _ w h < <(e2e_geometry "$MAIN")
check "no frame around it: the X window is 800 x 600 too (got ${w}x${h})" test "${w}x${h}" = 800x600
# The first frame: the earliest screenshot on which the overlay appears.
deadline=$((SECONDS + E2E_TIMEOUT))
while :; do
    read_overlay
    case $OVERLAY in Bump*) break ;; esac
    [ $SECONDS -lt $deadline ] || break
done
FIRST_FRAME_MS=$((($(e2e_now_ns) - E2E_VIEWER_START_NS) / 1000000))
cp "$SHOT" "$WORK/first.ppm" && e2e_png first >/dev/null
echo "  start-up: window after ${WINDOW_MS} ms, first frame on screen after ${FIRST_FRAME_MS} ms"
check "first frames read 'Bump scale: 0.50|no error|FPS: 0.0' (read '$OVERLAY')" \
    test "$OVERLAY" = "Bump scale: 0.50|no error|FPS: 0.0"
check "after 21 frames the frame rate is above 0" \
    wait_overlay '^Bump scale: 0\.50\|no error\|FPS: ([1-9][0-9]*\.[0-9]|0\.[1-9])$'
echo "  overlay: $OVERLAY"
snap start && START=$SHOT && e2e_png start >/dev/null
START_CLIENT=$WORK/start-client.ppm
convert "$START" -crop "${CW}x${CH}+${CX}+${CY}" +repage "$START_CLIENT"
# The sky: the top-left corner is not the black of the window's background
# and not one flat colour.
corner_sd=$(convert "$START" -crop 96x96+$((CX))+$((CY)) -colorspace Gray -format '%[fx:int(1000*standard_deviation)]' info:)
corner_mean=$(convert "$START" -crop 96x96+$((CX))+$((CY)) -colorspace Gray -format '%[fx:int(1000*mean)]' info:)
check "the sky box fills the corner (mean $corner_mean, spread $corner_sd of 1000)" \
    test "$corner_mean" -gt 20 -a "$corner_sd" -gt 5

section "Bump-scale keys"
xdotool key KP_Add KP_Add KP_Add
check "keypad plus three times: 0.53" bump_is 0.53
xdotool keydown KP_Subtract
check "keypad minus held down reaches the floor: 0.00" bump_is 0.00
xdotool keyup KP_Subtract
snap flat && FLAT=$SHOT
xdotool key plus
check "the main keyboard's plus changes nothing" marker_round_trip
check "... and leaves the scene as it was" scene_unchanged_since "$FLAT" after-plus

section "Model on screen"
check "bump scale changes only the model" model_box start
# A sphere of radius 100 at 250 units under a 90-degree field of view: 262
# pixels across at a client height of 600, in the middle.
check "the model is a disc of about 262 pixels in the middle (${MODEL_W}x${MODEL_H})" \
    eval 'within $MODEL_W 240 285 && within $MODEL_H 240 285 && within $MODEL_X 380 420 && within $MODEL_Y 280 320'
START_W=$MODEL_W

section "Mouse"
snap before-middle && BEFORE=$SHOT
check "a middle drag hides the cursor, holds it on the anchor and shows it again" drag 2 30 -30
check "... and changes nothing" eval 'marker_round_trip && scene_unchanged_since "$BEFORE" after-middle'
snap before-left && BEFORE=$SHOT
check "a left drag hides the cursor, holds it on the anchor and shows it again" drag 1 40 -20
wait_scene_change "$BEFORE" after-left && AFTER=$SHOT && e2e_png after-left >/dev/null
check "... and turns the sky (top-left corner changed)" test "$(patch_diff "$BEFORE" "$AFTER" 0 0 96 96)" -gt 100
check "... and the model (centre changed)" test "$(patch_diff "$BEFORE" "$AFTER" 350 250 100 100)" -gt 100
snap before-right && BEFORE=$SHOT
check "a right drag upwards hides and shows the cursor" drag 3 0 -60
wait_scene_change "$BEFORE" after-right >/dev/null
e2e_png after-right >/dev/null
check "... and brings the model nearer" model_box nearer
# 60 units nearer: 371 pixels across.
check "... so it grows on screen (${START_W} -> ${MODEL_W} pixels)" within "$MODEL_W" 340 400
NEAR_W=$MODEL_W

section "Window size"
check "resized to 400 x 300, the overlay follows the client area" resize_client 400 300
check "the projection follows: the model at half the size" model_box small
SMALL_W=$MODEL_W
check "... ${NEAR_W} -> ${SMALL_W} pixels" within $((SMALL_W * 2)) $((NEAR_W - 8)) $((NEAR_W + 8))
e2e_png small-bumped >/dev/null
check "back at 800 x 600" resize_client 800 600
check "back at 800 x 600, the model as before" eval 'model_box back && within $MODEL_W $((NEAR_W - 2)) $((NEAR_W + 2))'

section "Pictures (key T)"
snap before-t && BEFORE=$SHOT
xdotool key t
check "T, cancel both dialogs" eval 'cancel_dialog "Open Base Texture" && cancel_dialog "Open Bump Texture"'
check "... changes nothing" eval 'marker_round_trip && scene_unchanged_since "$BEFORE" after-t-cancel'
xdotool key t
check "T, a base picture, cancel the bump dialog" \
    eval 'open_in_dialog "Open Base Texture" "$FILES/checker_base.tga" && cancel_dialog "Open Bump Texture"'
check "... replaces the base texture" wait_scene_change "$BEFORE" after-t-base
e2e_png after-t-base >/dev/null
BEFORE=$SHOT
xdotool key t
check "T, cancel the base dialog, a bump picture" \
    eval 'cancel_dialog "Open Base Texture" && open_in_dialog "Open Bump Texture" "$FILES/dome_bump.jpg"'
check "... replaces the bump texture" wait_scene_change "$BEFORE" after-t-bump
e2e_png after-t-bump >/dev/null
BEFORE=$SHOT
xdotool key t
check "T with two pictures" eval 'open_in_dialog "Open Base Texture" "$ASSETS/quarzilbase.tga" && open_in_dialog "Open Bump Texture" "$ASSETS/quarzilbump.tga"'
check "... replaces base and bump" wait_scene_change "$BEFORE" after-t-both
check "... without a GL error" bump_is 0.00

section "Models (key M)"
snap before-m && BEFORE=$SHOT
xdotool key m
check "M, cancel" cancel_dialog "Open Model"
check "... changes nothing" eval 'marker_round_trip && scene_unchanged_since "$BEFORE" after-m-cancel'
xdotool key m
check "M with a file that is not a 3DS model" open_in_dialog "Open Model" "$ASSETS/font.tga"
check "... keeps the model on screen" eval 'marker_round_trip && scene_unchanged_since "$BEFORE" after-m-bad'
xdotool key m
check "M with a mapped box" open_in_dialog "Open Model" "$FILES/box.3ds"
check "... shows the box" wait_scene_change "$BEFORE" after-m-box
e2e_png after-m-box >/dev/null
check "... without a GL error" bump_is 0.00
BEFORE=$SHOT
xdotool key m
check "M with an octahedron without mapping coordinates" open_in_dialog "Open Model" "$FILES/bare_octahedron.3ds"
check "... shows it" wait_scene_change "$BEFORE" after-m-bare
e2e_png after-m-bare >/dev/null
check "... without a GL error" bump_is 0.00
BEFORE=$SHOT
xdotool key m
check "M with a textured box from a folder other than the working directory" \
    open_in_dialog "Open Model" "$FILES/textured/box.3ds"
check "... shows it" wait_scene_change "$BEFORE" after-m-textured
e2e_png after-m-textured >/dev/null
# The lower third of what changed since the plain box: there the box shows
# mostly its base colour under the ground's light, not the sky's reflection.
read -r _ left top right bottom < <(scene_diff "$WORK/after-m-box.ppm" "$SHOT")
band=$(((bottom - top + 1) / 3))
PLAIN_RGB=$(mean_rgb "$WORK/after-m-box.ppm" "$left" $((bottom + 1 - band)) $((right - left + 1)) "$band")
TEXTURED_RGB=$(mean_rgb "$SHOT" "$left" $((bottom + 1 - band)) $((right - left + 1)) "$band")
check "... in the green of its material's texture (mean $TEXTURED_RGB; the plain box $PLAIN_RGB)" \
    eval 'green_over "$TEXTURED_RGB" 20 && ! green_over "$PLAIN_RGB" 20'
check "... without a GL error" bump_is 0.00

section "Escape"
xdotool key Escape
finish_viewer "Escape ends the viewer"
check "... and its window is gone" e2e_wait_window_gone OpenGL

# --------------------- command line, wheel, drops, framing, screenshots

source tests/e2e/e2e_extras.sh
source tests/e2e/e2e_placement.sh
source tests/e2e/e2e_unicode.sh

# ------------------------------------------------------- short sessions

# full_shutdown DESCRIPTION: reads Wine's trace of the GL and WGL calls from
# the last frame on: the four textures deleted one name at a time, both
# shader objects (the fragment shader by its own call, the vertex shader as
# the program that carries it), then no context current and the context
# deleted, in that order.
full_shutdown() {
    local calls
    calls=$(grep -a 'trace:\(opengl\|wgl\):' "$WORK/viewer.log" | awk '
        /glxdrv_wglSwapBuffers/ {s = ""; next}
        /opengl:glDeleteTextures n 1,/ {s = s "T"}
        /opengl:glDeleteFragmentShaderATI/ {s = s "F"}
        /opengl:glDeleteProgramsARB n 1,/ {s = s "P"}
        /opengl:wglMakeCurrent hDc 0+, newContext 0+$/ {s = s "M"}
        /opengl:wglDeleteContext/ {s = s "D"}
        END {print s}')
    check "$1 ran the whole shutdown (calls after the last frame: $calls)" \
        eval "grep -qE '^TTTT(FP|PF)MD\$' <<<'$calls'"
}

# short_session DESCRIPTION ACTION: a traced start, the first frames, the
# action (a command line, evaluated once the window is there), then exit code
# 0 after the whole shutdown.
short_session() {
    local what=$1 action=$2
    section "$what"
    : >"$WORK/viewer.log"
    start_viewer "WINEDEBUG=-all,+wgl,+opengl" || { fail "start"; return; }
    check "the first frames" wait_overlay '^Bump scale: 0\.50\|no error\|FPS: '
    eval "$action"
    finish_viewer "$what"
    full_shutdown "$what"
}
short_session "Escape, traced" 'xdotool key Escape'
short_session "A window manager's close request (WM_DELETE_WINDOW)" '"$TOOLS/x_probe" close "$MAIN"'
short_session "Alt+F4 (WM_CLOSE)" 'xdotool key alt+F4'

# Minimising, restoring and the title bar's close button. With no window
# manager on the display, Wine draws the window's frame itself when told its
# windows are unmanaged: a caption with real minimise and close buttons, and
# a minimised window becomes an icon at the bottom of the screen. Wine's
# trace shows the projection set for the 0 x 0 client area (a viewport of
# width 0 and height 1), frames going on, and after the restore the
# projection for 800 x 600 again.
traced_count() { grep -acE "$1" "$WORK/viewer.log"; }
traced_after() {  # traced_after PATTERN COUNT: waits until the trace has COUNT matches
    local deadline=$((SECONDS + E2E_TIMEOUT))
    until [ "$(traced_count "$1")" -ge "$2" ]; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.05
    done
}
frame_buttons() {  # the frame's caption: sets CAPTION_Y, MINIMISE_X, CLOSE_X
    local fx fy fw fh
    read -r fx fy fw fh < <(e2e_geometry "$MAIN")
    CAPTION_Y=$(((fy + CY) / 2)) MINIMISE_X=$((fx + fw - 49)) CLOSE_X=$((fx + fw - 15))
}
minimise_restore_close() {
    local zero='opengl:glViewport x 0, y 0, width 0, height 1$'
    local full='opengl:glViewport x 0, y 0, width 800, height 600$'
    local fulls swaps ix iy iw ih
    read_geometry
    check "a frame drawn by Wine around the 800 x 600 client area" test "${CW}x${CH}" = 800x600
    frame_buttons
    fulls=$(traced_count "$full")
    xdotool mousemove "$MINIMISE_X" "$CAPTION_Y" click 1
    check "minimise button: the projection for a 0 x 0 client area" traced_after "$zero" 1
    swaps=$(traced_count 'glxdrv_wglSwapBuffers')
    check "minimised: frames go on" traced_after 'glxdrv_wglSwapBuffers' $((swaps + 5))
    snap minimised && e2e_png minimised >/dev/null
    read -r ix iy iw ih < <(e2e_geometry "$MAIN")
    xdotool mousemove $((ix + iw / 2)) $((iy + ih / 2)) click --repeat 2 --delay 80 1
    check "icon double-clicked: the projection for 800 x 600 again" traced_after "$full" $((fulls + 1))
    local deadline=$((SECONDS + E2E_TIMEOUT))
    until read_geometry && [ "${CW}x${CH}" = 800x600 ]; do
        [ $SECONDS -lt $deadline ] || break
        sleep 0.05
    done
    check "restored: the overlay reads again without error" \
        wait_overlay '^Bump scale: 0\.50\|no error\|FPS: '
    snap restored && e2e_png restored >/dev/null
    frame_buttons
    xdotool mousemove "$CLOSE_X" "$CAPTION_Y" click 1
}
WINE_X11_KEY='HKCU\Software\Wine\X11 Driver'
wine reg add "$WINE_X11_KEY" /v Managed /d N /f >/dev/null 2>&1
short_session "Minimise and restore, then the close button (frame drawn by Wine)" minimise_restore_close
wine reg delete "$WINE_X11_KEY" /v Managed /f >/dev/null 2>&1

# missing_extension OVERRIDE TEXT: one message box with TEXT, caption OpenGL;
# OK ends the viewer with exit code 0. Wine's msgbox channel names the text.
missing_extension() {
    local override=$1 text=$2 box="" deadline log
    section "Without ${text%% *}"
    log=$WORK/msgbox-${text%% *}.log
    : >"$WORK/viewer.log"
    start_viewer "MESA_EXTENSION_OVERRIDE=$override" "WINEDEBUG=-all,+msgbox" || { fail "start"; return; }
    deadline=$((SECONDS + E2E_TIMEOUT))
    while [ -z "$box" ] && [ $SECONDS -lt $deadline ]; do
        box=$(xdotool search --onlyvisible --name '^OpenGL$' 2>/dev/null | grep -vx "$MAIN" | head -n1)
        [ -n "$box" ] || sleep 0.05
    done
    check "a message box captioned OpenGL" test -n "$box"
    snap "msgbox-${text%% *}" && e2e_png "msgbox-${text%% *}" >/dev/null
    xdotool key Return
    finish_viewer "OK"
    grep -a 'trace:msgbox:MSGBOX_OnInit' "$WORK/viewer.log" >"$log"
    check "exactly one message box, reading '$text'" \
        eval "[ \$(wc -l <'$log') -eq 1 ] && grep -qF 'L\"$text\"' '$log'"
}
missing_extension "-GL_ARB_multitexture" "GL_ARB_multitexture not found!"
missing_extension "-GL_ARB_vertex_program" "GL_EXT_vertex_shader not found!"
missing_extension "-GL_ATI_fragment_shader -GL_ARB_fragment_program" "GL_ATI_fragment_shader not found!"

section "Without GL_ATI_fragment_shader in the driver"
start_viewer "MESA_EXTENSION_OVERRIDE=-GL_ATI_fragment_shader" || fail "start"
# Either the scene or, without a fragment-shader layer, a start-up message.
deadline=$((SECONDS + E2E_TIMEOUT))
box=""
while :; do
    read_overlay
    box=$(xdotool search --onlyvisible --name '^OpenGL$' 2>/dev/null | grep -vx "$MAIN" | head -n1)
    case $OVERLAY in Bump*) break ;; esac
    [ -z "$box" ] && [ $SECONDS -lt $deadline ] || break
done
if [ -n "$box" ]; then
    fail "the scene shows (a start-up message box came instead)"
    snap no-ati-message && e2e_png no-ati-message >/dev/null
    xdotool key Return
else
    check "the scene and the overlay show" wait_overlay '^Bump scale: 0\.50\|no error\|FPS: '
    snap no-ati && e2e_png no-ati >/dev/null
    check "... the same sky as the driver's own" test "$(patch_diff "$START" "$SHOT" 0 0 96 96)" -eq 0
    count=$(patch_diff "$START" "$SHOT" 270 170 260 260)
    check "... and the same model: $count of its box's 67600 pixels differ (under 2%)" test "$count" -lt 1352
    xdotool key Escape
fi
finish_viewer "without GL_ATI_fragment_shader"

# Last: it replaces the display and the Wine prefix.
source tests/e2e/e2e_dpi.sh

echo
echo "e2e: start-up ${FIRST_FRAME_MS} ms to the first frame on screen (window after ${WINDOW_MS} ms)"
if [ "$FAILURES" -ne 0 ]; then
    echo "e2e: $FAILURES check(s) failed; screenshots and logs in $WORK"
    exit 1
fi
echo "e2e: all checks passed; screenshots in $WORK"
