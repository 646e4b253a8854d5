#!/bin/bash
# File-type association and folder verbs from the "General" page of a real
# zul.exe, checked in Wine's registry: with another program's association
# of .mp3 present before, associate, apply again, then give the extension
# back; the other program's keys must return
# exactly as they were.
#   prefs_shell_test.sh <build folder>   (inside the test environment)
set -u
. "$(dirname "$0")/prefs_driver.sh"
prefs_setup "$1" shell

reg() { "$ZUL_WINE" reg "$@" 2>/dev/null | tr -d '\r'; }
key_exists() { "$ZUL_WINE" reg query "$1" >/dev/null 2>&1; }
other_keys() { reg query 'HKCR\.mp3' /s; reg query 'HKCR\OtherPlayer.mp3' /s; }
clean() {
  for k in '.mp3' 'OtherPlayer.mp3' 'ZUL.mp3' 'Directory\Shell\playzul' 'Drive\Shell\playzul' \
    'Directory\Shell\addzul' 'Drive\Shell\addzul'; do
    reg delete "HKCR\\$k" /f >/dev/null
  done
}
clean
reg add 'HKCR\.mp3' /ve /d OtherPlayer.mp3 /f >/dev/null
reg add 'HKCR\.mp3' /v 'Content Type' /d audio/mpeg /f >/dev/null
reg add 'HKCR\OtherPlayer.mp3\shell\open\command' /ve /d '"C:\other.exe" "%1"' /f >/dev/null
other_keys >"$ZDIR/before.txt"
grep -q OtherPlayer "$ZDIR/before.txt" || fail "the other program's association could not be set up"

mp3_box() { probe lvchecks "$SHEET" 23128 | head -1; }
toggle_mp3() {
  click 23128
  xdotool key Home space
}

zul_start
open_sheet_from_tray
[ "$(mp3_box)" = 0 ] || fail ".mp3 shown as ours before it was taken"
toggle_mp3
click 23130                      # folder verb "Play"
shot_sheet shell-general-page
click 1
probe gone "$SHEET" 10000 || fail "OK did not close the dialog"

exe="$ZWIN\\zul.exe"
[ "$(reg query 'HKCR\.mp3' /ve | grep -o 'ZUL\.mp3')" = ZUL.mp3 ] || fail ".mp3 does not name ZUL.mp3: $(reg query 'HKCR\.mp3' /ve)"
reg query 'HKCR\ZUL.mp3\shell\openzul\command' /ve | grep -qiF "\"$exe\" \"%1\"" ||
  fail "no play command: $(reg query 'HKCR\ZUL.mp3\shell\openzul\command' /ve)"
reg query 'HKCR\ZUL.mp3\shell\addzul\command' /ve | grep -qiF "\"$exe\" -a \"%1\"" || fail "no add command"
reg query 'HKCR\Directory\Shell\playzul\Command' /ve | grep -qiF "\"$exe\" \"%1\"" || fail "no folder verb"
reg query 'HKCR\Drive\Shell\playzul\Command' /ve | grep -qiF "\"$exe\" \"%1\"" || fail "no drive verb"
key_exists 'HKCR\Directory\Shell\addzul' && fail "the unchecked folder verb was written"

# Opened again, the page reads the association back; applied again, the
# previous handler stays recorded.
open_sheet_from_tray
[ "$(mp3_box)" = 1 ] || fail ".mp3 not shown as ours after it was taken"
[ "$(probe check "$SHEET" 23130)" = 1 ] || fail "the folder verb is not read back"
click 1
probe gone "$SHEET" 10000 || fail "OK did not close the dialog"

# Given back: the other program's keys are exactly as before.
open_sheet_from_tray
toggle_mp3
click 23130
click 1
probe gone "$SHEET" 10000 || fail "OK did not close the dialog"
other_keys >"$ZDIR/after.txt"
diff "$ZDIR/before.txt" "$ZDIR/after.txt" >&2 || fail "the other program's association did not come back exactly"
key_exists 'HKCR\ZUL.mp3' && fail "ZUL.mp3 is left behind"
key_exists 'HKCR\Directory\Shell\playzul' && fail "the folder verb is left behind"
zul_quit
clean
echo PASS
