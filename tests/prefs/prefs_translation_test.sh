#!/bin/bash
# The language chosen on the "General" page takes effect after the restart:
# the preferences dialog then shows the French file's texts, its messages
# too.
#   prefs_translation_test.sh <build folder>   (inside the test environment)
set -u
. "$(dirname "$0")/prefs_driver.sh"
prefs_setup "$1" translation

zul_start
old=$ZPID
open_sheet_from_tray
choose 23125 End                 # the list: "en", "French"
[ "$(probe text "$SHEET" 23125)" = French ] || fail "French is not offered: $(probe text "$SHEET" 23125)"
click 1
msg=$(message_text)
[ "$msg" = "The application must be restart to use the changes." ] || fail "restart question: $msg"
answer_message 6
until_ok 60 sh -c "! kill -0 $old 2>/dev/null" || fail "the program did not end for the restart"
until_ok 60 zul_up || fail "no new instance after the restart"
expect_ini Preferences Language French

open_sheet_from_tray
[ "$(probe text "$SHEET" 0)" = "Préférences de ZUL" ] || fail "caption: $(probe text "$SHEET" 0)"
[ "$(probe text "$SHEET" 2)" = Annuler ] || fail "Cancel: $(probe text "$SHEET" 2)"
[ "$(probe text "$SHEET" 23118)" = "Émuler Winamp" ] || fail "General page: $(probe text "$SHEET" 23118)"
shot_sheet french-general
tree_page 2
click 23204 && xdotool key ctrl+alt+p
click 23205 && xdotool key ctrl+alt+p
click 23102
msg=$(message_text)
[ "$msg" = "Un raccourci ne peut servir qu'à une seule action !" ] || fail "French message: $msg"
answer_message 1
click 2
probe gone "$SHEET" 10000 || fail "Cancel did not close the dialog"
zul_quit
echo PASS
