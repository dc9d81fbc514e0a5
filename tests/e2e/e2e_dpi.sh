# End-to-end session at 192 DPI: a Wine prefix of its own whose screen
# reports 192 pixels per inch (HKCU\Control Panel\Desktop LogPixels), on a
# virtual screen big enough for the window. The first client area is
# 1600 x 1200, the overlay is drawn at twice its size with every font texel
# a crisp 2 x 2 square, and the default sphere is twice as large.
# Sourced last by scripts/e2e.sh: it replaces the display and the prefix.

section "192 DPI"
e2e_teardown
E2E_SCREEN=2048x1536x24 E2E_WINEPREFIX=$(dirname "$WORK")/wineprefix-dpi192-$(id -u) \
    e2e_setup "$WORK" || { fail "a display and a Wine prefix at 192 DPI"; return; }
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 192 /f >/dev/null 2>&1
wineserver -w
OVERLAY_SCALE=2
start_viewer || fail "start"
check "client area 1600 x 1200 (got ${CW}x${CH})" test "${CW}x${CH}" = 1600x1200
check "the overlay, read at twice its size" wait_overlay '^Bump scale: 0\.50\|no error\|FPS: '
snap dpi192 && e2e_png dpi192 >/dev/null
SMUDGED=$("$TOOLS/overlay_reader" "$ASSETS/font.tga" "$SHOT" "$CX" "$CY" "$CH" 2 --smudged | tail -n1)
check "... crisp: every glyph pixel white under the font's ink and not under its blank ($SMUDGED off)" \
    test "$SMUDGED" -eq 0
bump_to_zero
check "the sphere twice as large: 524 pixels across, in the middle" \
    eval 'model_box dpi192 && within $MODEL_W 500 550 && within $MODEL_X 780 820'
xdotool key Escape
finish_viewer "192 DPI"
OVERLAY_SCALE=1
