# End-to-end sessions of the command line, the default files beside the
# program, the mouse wheel, dropped files and key F12. Sourced by
# scripts/e2e.sh after its main session, with its helpers and $START (the
# default scene's first screenshot, client area in START_CLIENT).

IMAGE_DUMP=$TOOLS/../../tools/image/image_dump

# client_crop SHOT NAME: the client area of a screenshot as $WORK/NAME.ppm.
client_crop() {
    convert "$1" -crop "${CW}x${CH}+${CX}+${CY}" +repage "$WORK/$2.ppm" && echo "$WORK/$2.ppm"
}
# client_scene_diff A B: pixels of the scene (above the overlay) that differ
# between two client-area pictures.
client_scene_diff() { "$TOOLS/screen_diff" "$1" "$2" 0 0 "$CW" $((CH - 48)) | cut -d' ' -f1; }

bump_to_zero() { xdotool keydown KP_Subtract && bump_is 0.00; xdotool keyup KP_Subtract; }

# wheel UP|DOWN NOTCHES: turns the wheel over the middle of the client area.
wheel() {
    local button=4
    [ "$1" = DOWN ] && button=5
    xdotool mousemove $((CX + CW / 2)) $((CY + CH / 2)) && pointer_at $((CX + CW / 2)) $((CY + CH / 2))
    xdotool click --repeat "$2" --delay 40 "$button"
}

# sphere_pixels DISTANCE: the height on screen, in whole pixels, of the
# default sphere (radius 100) seen from DISTANCE under a 90-degree field of
# view at a client height of 600: 600 tan(asin(100 / DISTANCE)).
sphere_pixels() { awk -v d="$1" 'BEGIN {s = 100 / d; printf "%d", 600 * s / sqrt(1 - s * s) + 0.5}'; }

# drop PATH...: drops the files on the middle of the client area (XDND, as a
# file manager does; Wine hands the window WM_DROPFILES).
drop() { "$TOOLS/x_drop" "$MAIN" $((CX + CW / 2)) $((CY + CH / 2)) "$@"; }

# wait_file PATH: waits until it exists and has stopped growing.
wait_file() {
    local deadline=$((SECONDS + E2E_TIMEOUT)) size=-1
    while :; do
        if [ -f "$1" ] && [ "$(stat -c %s "$1")" -eq "$size" ]; then return 0; fi
        [ -f "$1" ] && size=$(stat -c %s "$1")
        [ $SECONDS -lt $deadline ] || { e2e_log "    no file $1"; return 1; }
        sleep 0.1
    done
}

# screenshot_matches TGA NAME: the file is an uncompressed 24-bit TGA of the
# client area, which our own reader and ImageMagick read as the same picture,
# and its scene is the one on the screen.
screenshot_matches() {
    local tga=$1 name=$2 header ours magick screen
    header=$(od -An -tu1 -j2 -N1 "$tga")$(od -An -tu2 -j12 -N4 "$tga")$(od -An -tu1 -j16 -N1 "$tga")
    [ "$(echo $header)" = "2 $CW $CH 24" ] || { e2e_log "    header '$header'"; return 1; }
    "$IMAGE_DUMP" "$tga" "$WORK/$name-ours.pam" --reader tga >/dev/null || return 1
    convert "$WORK/$name-ours.pam" "$WORK/$name-ours.ppm" && ours=$WORK/$name-ours.ppm
    # ImageMagick keeps the bottom-up rows as an orientation until told.
    convert "$tga" -auto-orient "$WORK/$name-magick.ppm" && magick=$WORK/$name-magick.ppm
    snap "$name-screen" && screen=$(client_crop "$SHOT" "$name-screen-client")
    local a b
    a=$("$TOOLS/screen_diff" "$ours" "$magick" 0 0 "$CW" "$CH" | cut -d' ' -f1)
    b=$(client_scene_diff "$ours" "$screen")
    e2e_log "    $name: $a pixels differ between the readers, $b from the screen's scene"
    [ "$a" -eq 0 ] && [ "$b" -eq 0 ]
}

section "Started from another folder: the default files beside the program"
INSTALL=$WORK/install ELSEWHERE=$WORK/elsewhere
mkdir -p "$INSTALL" "$ELSEWHERE"
cp -r "$ASSETS"/. "$INSTALL"/ && cp "$EXE" "$INSTALL"/
echo taken >"$ELSEWHERE/screenshot-001.tga"
echo text >"$FILES/notes.txt"
VIEWER_DIR=$ELSEWHERE VIEWER_EXE=$INSTALL/bump_viewer.exe start_viewer || fail "start"
check "the first frames" wait_overlay '^Bump scale: 0\.50\|no error\|FPS: '
snap elsewhere && e2e_png elsewhere >/dev/null
check "the default scene as started in assets/" \
    test "$(client_scene_diff "$START_CLIENT" "$(client_crop "$SHOT" elsewhere-client)")" -eq 0

# The wheel: three notches up are 75 units nearer, and three down go back.
bump_to_zero
check "the sphere before the wheel" eval 'model_box wheel-before && within $MODEL_W $((START_W - 2)) $((START_W + 2))'
snap wheel-flat && BEFORE=$SHOT
wheel UP 3
check "three notches up bring the sphere nearer" wait_scene_change "$BEFORE" wheel-up
expected=$(sphere_pixels 175)
check "... by 75 units: $expected pixels tall" eval 'model_box wheel-up && within $MODEL_H $((expected - 6)) $((expected + 6))'
BEFORE=$SHOT
wheel DOWN 3
check "three notches down take it back" wait_scene_change "$BEFORE" wheel-down
check "... to its first size" eval 'model_box wheel-down && within $MODEL_W $((START_W - 2)) $((START_W + 2))'

# F12 twice: two new files, none overwritten, each the frame on the screen.
xdotool key F12
check "F12 writes screenshot-002.tga beside the existing -001" wait_file "$ELSEWHERE/screenshot-002.tga"
check "... a 24-bit TGA read alike by our reader and ImageMagick, the scene on the screen" \
    screenshot_matches "$ELSEWHERE/screenshot-002.tga" shot-002
xdotool key F12
check "F12 again writes screenshot-003.tga" wait_file "$ELSEWHERE/screenshot-003.tga"
check "... the same frame" screenshot_matches "$ELSEWHERE/screenshot-003.tga" shot-003
check "... and screenshot-001.tga is as it was" test "$(cat "$ELSEWHERE/screenshot-001.tga")" = taken
check "... nothing written beside the program" eval '! ls "$INSTALL"/screenshot-* >/dev/null 2>&1'

# Drops at bump scale 0.00 (and 0.10 for the bump picture's effect).
model_box before-drop
FLAT=$WORK/before-drop-flat.ppm BUMPED=$WORK/before-drop-bumped.ppm
# Shift's press and release each waited for through the queue, so the
# viewer reads the key as it is at the drop.
xdotool keydown shift
marker_round_trip
check "a picture dropped with Shift held is taken" drop "$FILES/dome_bump.jpg"
xdotool keyup shift
marker_round_trip
xdotool key --repeat 10 --delay 20 KP_Add
bump_is 0.10
snap after-drop-bump-0.10
check "... and changes the scene" test "$(scene_diff "$BUMPED" "$SHOT" | cut -d' ' -f1)" -gt 100
xdotool key --repeat 10 --delay 20 KP_Subtract
bump_is 0.00
check "a picture dropped without Shift" drop "$FILES/checker_base.tga"
check "... changes the scene" wait_scene_change "$FLAT" after-drop-base
e2e_png after-drop-base >/dev/null
AFTER_DROPS=$SHOT
# Had either drop gone to the other picture, the dialogs would change it.
xdotool key t
check "T with the same two files, base then bump" \
    eval 'open_in_dialog "Open Base Texture" "$FILES/checker_base.tga" && open_in_dialog "Open Bump Texture" "$FILES/dome_bump.jpg"'
check "... changes nothing: the drops were the base and (with Shift) the bump picture" \
    eval 'marker_round_trip && scene_unchanged_since "$AFTER_DROPS" after-drop-t'
BEFORE=$SHOT
check "several files dropped at once" \
    drop "$FILES/notes.txt" "$FILES/box.3ds" "$ASSETS/quarzilbase.tga" "$FILES/bare_octahedron.3ds"
check "... the first model is shown" wait_scene_change "$BEFORE" after-drop-many
e2e_png after-drop-many >/dev/null
# The box placed at radius 100, half-edge 57.74, seen face on from 160.08
# away: 600 x 57.74 / 102.34 pixels (the octahedron would be 375).
check "... the box, 338 pixels tall" eval 'model_box drop-many && within $MODEL_H 330 346'
check "... without a GL error" bump_is 0.00
xdotool key Escape
finish_viewer "started from another folder"

section "Command line: a model in a folder with spaces in its name"
mkdir -p "$FILES/with space"
cp "$FILES/off_centre_box.3ds" "$FILES/with space/off centre.3ds"
start_viewer -- "$(dialog_path "$FILES/with space/off centre.3ds")" || fail "start"
check "the first frames" wait_overlay '^Bump scale: 0\.50\|no error\|FPS: '
bump_to_zero
snap cmdline && e2e_png cmdline >/dev/null
# The box about (150, 80, 0), placed about the origin: its bounding sphere
# 100 seen from 160.08, so the front face at 102.34 and 600 x 57.74 / 102.34
# = 339 pixels tall, in the middle.
check "the model named on the command line, in the middle, its bounding sphere at 80 % of the height" \
    eval 'model_box cmdline && within $MODEL_X 392 408 && within $MODEL_Y 292 308 && within $MODEL_H 329 349'
xdotool key Escape
finish_viewer "a model on the command line"

section "Command line: a file that is not a model"
: >"$WORK/viewer.log"
start_viewer "WINEDEBUG=-all,+msgbox" -- "$(dialog_path "$ASSETS/font.tga")" || fail "start"
check "a message box captioned 'Bump viewer'" eval 'e2e_wait_window "Bump viewer" >/dev/null'
snap cmdline-bad && e2e_png cmdline-bad >/dev/null
xdotool key Return
check "... gone after OK" e2e_wait_window_gone "Bump viewer"
grep -a 'trace:msgbox:MSGBOX_OnInit' "$WORK/viewer.log" >"$WORK/msgbox-cmdline.log"
check "... exactly one, naming the file" \
    eval '[ $(wc -l <"$WORK/msgbox-cmdline.log") -eq 1 ] && grep -qF "font.tga" "$WORK/msgbox-cmdline.log"'
focus_viewer
check "the viewer runs on" wait_overlay '^Bump scale: 0\.50\|no error\|FPS: '
bump_to_zero
check "... with the default sphere" eval 'model_box cmdline-bad && within $MODEL_W $((START_W - 2)) $((START_W + 2))'
xdotool key Escape
finish_viewer "an unreadable model on the command line"
