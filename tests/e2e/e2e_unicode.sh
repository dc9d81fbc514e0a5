# End-to-end sessions in folders and files named in Cyrillic, Chinese and
# with accents: models with their textures beside them, opened on the command
# line, with key M (the path typed into the dialog) and by drops, and the
# program with its default files in such a folder, started from another one.
# Sourced by scripts/e2e.sh after tests/e2e/e2e_extras.sh, with their helpers
# and START_CLIENT (the default scene's first frame). With E2E_ZIP set to the
# release zip, the program and its files come from that zip, unpacked.
#
# The textured boxes are tests/e2e/e2e_files.cpp's: a material naming
# PAINT.TGA (beside it as paint.tga) or Зелёный.TGA (beside it as
# Зелёный.tga), both one green; found, they draw the box green under the
# ground's light, and the base picture (the quartz) is not green.

UNI=$WORK/unicode
CYRILLIC="$UNI/Модели" CHINESE="$UNI/模型" ACCENTS="$UNI/Café crème"
mkdir -p "$CYRILLIC/пусто" "$CHINESE" "$ACCENTS"
cp "$FILES/textured_utf8/box.3ds" "$CYRILLIC/Корабль.3DS"
cp "$FILES/textured_utf8/Зелёный.tga" "$CYRILLIC/"
cp "$FILES/textured_utf8/box.3ds" "$CYRILLIC/пусто/Корабль.3DS"  # its texture elsewhere
cp "$FILES/textured/box.3ds" "$CHINESE/模型.3ds"
cp "$FILES/textured/paint.tga" "$CHINESE/"
cp "$FILES/box.3ds" "$ACCENTS/boîte.3ds"
cp "$FILES/textured_utf8/box.3ds" "$ACCENTS/Crème.3ds"
cp "$FILES/textured_utf8/Зелёный.tga" "$ACCENTS/"

# box_green NAME: the box's lower third, at bump scale 0.00, is green (1) or
# not (anything else); the box found as model_box finds it.
box_green() {
    model_box "$1" || return 2
    local rgb
    rgb=$(mean_rgb "$WORK/$1-flat.ppm" $((MODEL_X - MODEL_W / 2)) $((MODEL_Y + MODEL_H / 6)) \
        "$MODEL_W" $((MODEL_H / 3)))
    e2e_log "    $1: lower third of the box $rgb"
    green_over "$rgb" 20
}
textured_box() { box_green "$1"; }
plain_box() {
    box_green "$1"
    [ $? -eq 1 ]
}

section "Unicode folders: a model on the command line, by key M and by drops"
start_viewer -- "$(dialog_path "$CYRILLIC/Корабль.3DS")" || fail "start"
check "the first frames" wait_overlay '^Bump scale: 0\.50\|no error\|FPS: '
bump_to_zero
snap uni-cmdline && e2e_png uni-cmdline >/dev/null
check "command line, Модели\\Корабль.3DS: its texture Зелёный.TGA found as Зелёный.tga and drawn" \
    textured_box uni-cmdline
BEFORE=$SHOT
xdotool key m
check "M with Модели\\пусто\\Корабль.3DS, pasted into the dialog, shows it" \
    eval 'open_in_dialog "Open Model" "$CYRILLIC/пусто/Корабль.3DS" && wait_scene_change "$BEFORE" uni-m-bare'
check "... with the base picture: its texture is not in its folder" plain_box uni-m-bare
BEFORE=$SHOT
xdotool key m
check "M with 模型\\模型.3ds shows it" \
    eval 'open_in_dialog "Open Model" "$CHINESE/模型.3ds" && wait_scene_change "$BEFORE" uni-m-chinese'
e2e_png uni-m-chinese >/dev/null
check "... with its texture PAINT.TGA, found as paint.tga" textured_box uni-m-chinese
BEFORE=$SHOT
check "a drop of Café crème\\boîte.3ds shows it" \
    eval 'drop "$ACCENTS/boîte.3ds" && wait_scene_change "$BEFORE" uni-drop-plain'
check "... a box without a material, in the base picture" plain_box uni-drop-plain
BEFORE=$SHOT
check "a drop of Café crème\\Crème.3ds shows it" \
    eval 'drop "$ACCENTS/Crème.3ds" && wait_scene_change "$BEFORE" uni-drop-textured'
e2e_png uni-drop-textured >/dev/null
check "... with its texture Зелёный.TGA" textured_box uni-drop-textured
check "... without a GL error" bump_is 0.00
xdotool key Escape
finish_viewer "Unicode folders"

section "The program in a Unicode folder, started from another one"
PROGRAM_ROOT="$UNI/Просмотр 3D"
rm -rf "$PROGRAM_ROOT" && mkdir -p "$PROGRAM_ROOT"
if [ -n "${E2E_ZIP:-}" ]; then
    check "the release zip unpacks into '$PROGRAM_ROOT'" \
        eval '(cd "$PROGRAM_ROOT" && cmake -E tar xf "$E2E_ZIP")'
    PROGRAM_EXE=$(find "$PROGRAM_ROOT" -name bump_viewer.exe | head -n1)
    where="from the release zip"
else
    mkdir -p "$PROGRAM_ROOT/模型 Café"
    cp -r "$ASSETS"/. "$PROGRAM_ROOT/模型 Café"/ && cp "$EXE" "$PROGRAM_ROOT/模型 Café"/
    PROGRAM_EXE="$PROGRAM_ROOT/模型 Café/bump_viewer.exe"
    where="copied with the default files"
fi
VIEWER_DIR=$CYRILLIC VIEWER_EXE=$PROGRAM_EXE start_viewer || fail "start"
check "the program $where, started in Модели: the first frames" \
    wait_overlay '^Bump scale: 0\.50\|no error\|FPS: '
snap uni-program && e2e_png uni-program >/dev/null
check "... the default scene, as started in assets/" \
    test "$(client_scene_diff "$START_CLIENT" "$(client_crop "$SHOT" uni-program-client)")" -eq 0
xdotool key Escape
finish_viewer "the program in a Unicode folder"
