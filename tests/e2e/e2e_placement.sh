# End-to-end session of the placement of opened models and of the zoom's
# limit. Sourced by scripts/e2e.sh with its helpers and those of
# tests/e2e/e2e_extras.sh.
#
# z_up_17.3ds and z_up_1700.3ds (tests/e2e/e2e_files.cpp) hold one slab,
# Z-up as 3D Studio files are, 17 and 1,700 units tall and off the origin,
# half-edges (0.5, 4, 5) u, its front fifth (the -Y side) green. Opened,
# either stands upright about the origin with radius 100: half-edges
# (7.79, 77.85, 62.28), the eye 160.08 from the centre (the bounding sphere
# at 80 % of the height), the green front 97.80 from the eye, so
# 600 x 77.85 / 97.80 = 478 pixels tall (80 % of 600) and 48 wide, in the
# middle. Both files give the same picture.

# clear_pixels SHOT: pixels of the scene in the clear colour, black. The
# sky and the model have none.
clear_pixels() {
    convert "$1" -crop "${CW}x$((CH - 48))+${CX}+${CY}" +repage -fill white +opaque black \
        -negate -format '%[fx:int(mean*w*h+0.5)]' info:
}

# placed_upright NAME: the slab stands in the middle, 80 % of the height,
# with its green front towards the viewer.
placed_upright() {
    model_box "$1" || return 1
    local front
    front=$(mean_rgb "$WORK/$1-flat.ppm" $((MODEL_X - 10)) $((MODEL_Y + 60)) 20 40)
    e2e_log "    front $front"
    within $MODEL_X 392 408 && within $MODEL_Y 292 308 && within $MODEL_H 470 486 &&
        within $MODEL_W 42 56 && green_over "$front" 40
}

# same_scene A B: the scenes of two screenshots agree but for a few pixels
# of rounding at the edges.
same_scene() {
    local count
    count=$(scene_diff "$1" "$2" | cut -d' ' -f1)
    e2e_log "    $count pixels differ"
    [ "$count" -le 40 ]
}

section "Placement: a Z-up model on the command line"
start_viewer -- "$(dialog_path "$FILES/z_up_17.3ds")" || fail "start"
check "the first frames" wait_overlay '^Bump scale: 0\.50\|no error\|FPS: '
bump_to_zero
check "17 units, named on the command line: upright, green front on, in the middle, 80 % of the height" \
    placed_upright placed-cmdline
e2e_png placed-cmdline-flat >/dev/null
PLACED=$WORK/placed-cmdline-flat.ppm
check "turned and moved away" eval 'drag 1 60 -30 && drag 3 0 200'
wait_scene_change "$PLACED" placed-moved
BEFORE=$SHOT
xdotool key f
check "F" wait_scene_change "$BEFORE" placed-f
check "... returns to the view it opened in" same_scene "$PLACED" "$SHOT"
xdotool key Escape
finish_viewer "a Z-up model on the command line"

# From the start's view (the eye 250 from the sphere) 30 notches take the
# eye to 1,000 units, as far as it goes.
section "Zooming out as far as it goes; placement by M and by a drop"
start_viewer || fail "start"
check "the first frames" wait_overlay '^Bump scale: 0\.50\|no error\|FPS: '
bump_to_zero
snap zoom-start && BEFORE=$SHOT
wheel DOWN 30
check "30 notches down take the sphere 750 units away" wait_scene_change "$BEFORE" zoom-limit
e2e_png zoom-limit >/dev/null
LIMIT=$SHOT
check "... with the sky all around: no pixel of the clear colour" test "$(clear_pixels "$LIMIT")" -eq 0
wheel DOWN 70
check "70 notches more change nothing: the eye is 1,000 from the sky box's centre" \
    eval 'marker_round_trip && scene_unchanged_since "$LIMIT" zoom-beyond'
check "turned there towards a corner of the sky box" drag 1 45 35
wait_scene_change "$LIMIT" zoom-turned && e2e_png zoom-turned >/dev/null
TURNED=$SHOT
check "... no pixel of the clear colour" test "$(clear_pixels "$TURNED")" -eq 0
check "a right drag 600 pixels down" drag 3 0 600
check "... changes nothing either" eval 'marker_round_trip && scene_unchanged_since "$TURNED" zoom-dragged'
wheel UP 1
check "one notch up comes nearer at once" wait_scene_change "$TURNED" zoom-back

BEFORE=$SHOT
xdotool key m
check "M with the slab 1,700 units tall, off the origin" open_in_dialog "Open Model" "$FILES/z_up_1700.3ds"
check "... shows it" wait_scene_change "$BEFORE" placed-m
check "... upright, green front on, in the middle, 80 % of the height" placed_upright placed-m
e2e_png placed-m-flat >/dev/null
check "... as the 17-unit one on the command line" same_scene "$PLACED" "$WORK/placed-m-flat.ppm"

drag 1 -50 10 && snap before-drop && BEFORE=$SHOT
check "the 17-unit slab dropped" drop "$FILES/z_up_17.3ds"
check "... shows it" wait_scene_change "$BEFORE" placed-drop
check "... upright, green front on, in the middle, 80 % of the height" placed_upright placed-drop
check "... as on the command line" same_scene "$PLACED" "$WORK/placed-drop-flat.ppm"
check "... without a GL error" bump_is 0.00
xdotool key Escape
finish_viewer "zooming out, placed models"

# gear.3ds (tests/e2e/e2e_files.cpp): a steel gear whose smoothing groups keep
# its edges hard, opened as a user opens it and turned to show the teeth;
# kept as gear.png (the README's second picture, docs/gear.png).
section "A gear with smoothing groups on the command line"
start_viewer -- "$(dialog_path "$FILES/gear.3ds")" || fail "start"
check "the first frames" wait_overlay '^Bump scale: 0\.50\|no error\|FPS: '
snap gear-front && BEFORE=$SHOT
check "turned to show the teeth" drag 1 30 -35
check "... shows it turned" wait_scene_change "$BEFORE" gear
check "... without a GL error" wait_overlay 'no error'
e2e_png gear >/dev/null
xdotool key Escape
finish_viewer "a gear with smoothing groups"
