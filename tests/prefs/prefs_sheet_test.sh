#!/bin/bash
# The preferences dialog of a real zul.exe, driven with the mouse and the
# keyboard: opened from the tray menu, one setting changed on each built-in
# page, applied, the program quit and the settings file read back; the two
# refusals and the hotkeys let go while the hotkey page is open; the restart
# question; a test plug-in loaded, moved and unloaded, with its own page in
# the tree and a Configuration that faults.
#   prefs_sheet_test.sh <build folder>   (inside the test environment)
set -u
. "$(dirname "$0")/prefs_driver.sh"
prefs_setup "$1" sheet

# --- every page: one change each, OK, quit, read the file back ---------------
zul_start
open_sheet_from_tray
shot_sheet sheet-opened
tree_page 0
click 23115                       # "Show Album sub-menu" off
type_into 23122 25                # tracks per column
tree_page 1
choose 23153 End                 # L4: "Album tracks"
tree_page 2
click 23204 && xdotool key ctrl+alt+p   # Play
tree_page 3
click 23260                       # "Enable W2FILE"
type_into 23262 'C:\np.txt'
tree_page 4
click 23294                       # "Show gradient in menu" off
tree_page 5
type_into 23312 7                 # granularity
tree_page 6
click 23345                       # "Random skin"
tree_page 7
type_into 23369 '%2 live'         # Messenger title
tree_page 8
type_into 23388 250               # gap between tracks
shot_sheet sheet-input-page
click 1                           # OK
probe gone "$SHEET" 10000 || fail "OK did not close the dialog"
zul_quit
expect_ini Preferences SMAlbum 0
expect_ini Preferences TPC 25
expect_ini Preferences Clicks4 11
expect_ini Preferences PlayKey 80
expect_ini Preferences PlayMod 3
expect_ini Preferences W2Fenabled 1
expect_ini Preferences W2Ffile 'C:\np.txt'
expect_ini MenuXP ShowGradient 0
expect_ini Preferences granularity 7
expect_ini Preferences randomSkin 1
expect_ini Preferences wmTitle '%2 live'
expect_ini Preferences Gap 250
# Untouched settings keep their values.
expect_ini Preferences SMTracks 1
expect_ini Preferences RClicks1 10
echo "ok: every page applied and saved"

# --- refusals; hotkeys let go while their page is open -----------------------
zul_start
[ "$(probe register 80 3)" = 0 ] || fail "ctrl+alt+P is not held by the program after the start"
open_sheet_from_tray
tree_page 2
hotkey_free() { [ "$(probe register 80 3)" = 1 ]; }
until_ok 10 hotkey_free || fail "the hotkeys are still held while the hotkey page is open"
click 23205 && xdotool key ctrl+alt+p   # Stop on Play's hotkey
click 23102                             # Apply
msg=$(message_text)
[ "$msg" = "One hotkey can't be assigned to several actions!" ] || fail "hotkey message: $msg"
shot hotkey-refused
answer_message 1
probe wait "$SHEET" 1000 || fail "the dialog closed after a refusal"
click 23205 && xdotool key BackSpace    # Stop: no hotkey
tree_page 1
choose 23154 Home                # R1: "(nothing)": no click opens the menu
click 23102
msg=$(message_text)
[ "$msg" = "At least one mouse-clicks setting should be set to 'Main menu'!" ] || fail "clicks message: $msg"
answer_message 1
click 2                                 # Cancel
probe gone "$SHEET" 10000 || fail "Cancel did not close the dialog"
[ "$(probe register 80 3)" = 0 ] || fail "the hotkeys were not taken back after the dialog closed"
zul_quit
expect_ini Preferences RClicks1 10
expect_ini Preferences StopKey 0
expect_ini Preferences PlayKey 80
echo "ok: refusals keep the dialog open and change nothing"

# --- a change that needs a restart ------------------------------------------
zul_start
old=$ZPID
open_sheet_from_tray
tree_page 0
click 23118                             # "Emulate Winamp"
click 1
msg=$(message_text)
[ "$msg" = "The application must be restart to use the changes." ] || fail "restart question: $msg"
shot restart-question
answer_message 6                        # Yes
until_ok 60 sh -c "! kill -0 $old 2>/dev/null" || fail "the program did not end for the restart"
until_ok 60 zul_up || fail "no new instance after the restart"
expect_ini Preferences WAEmu 1
zul_quit
echo "ok: restart question and -restart"

# --- a plug-in loaded, moved, configured and unloaded -------------------------
zul_start
open_sheet_from_tray
before=$(probe treecount "$SHEET")
tree_page 8
click 23383                             # Load
probe wait Open 20000 || fail "no file dialog"
xdotool type --delay 10 "$ZWIN\\Plugins\\in_prefs_page.dll"
xdotool key Return
probe gone Open 20000 || fail "the file dialog stayed open"
[ "$(probe items "$SHEET" 23380 | sed -n 2p)" = "Prefs test input (in_prefs_page.dll)" ] ||
  fail "the loaded plug-in is not listed second: $(probe items "$SHEET" 23380)"
[ "$(probe treecount "$SHEET")" = $((before + 1)) ] || fail "the plug-in's page is not in the tree"
click 23380 && xdotool key End
click 23381                             # Up
[ "$(probe items "$SHEET" 23380 | sed -n 1p)" = "Prefs test input (in_prefs_page.dll)" ] ||
  fail "Up did not move the plug-in first: $(probe items "$SHEET" 23380)"
tree_page 13
[ "$(probe visible "$SHEET" 23990)" = 1 ] || fail "the plug-in's own page is not shown at its place"
shot_sheet plugin-page
tree_page 8
click 23380 && xdotool key Home
click 23385                             # Configuration: the plug-in faults
probe wait "$SHEET" 2000 || fail "the dialog went away with the faulting plug-in"
zul_up || fail "the program did not survive the plug-in's fault"
click 1
probe gone "$SHEET" 10000 || fail "OK did not close the dialog"
zul_quit
in0=$(ini_value Preferences dllInName0)
[ "${in0,,}" = "$(echo "$ZWIN\\Plugins\\in_prefs_page.dll" | tr 'A-Z' 'a-z')" ] || fail "dllInName0 is '$in0'"
expect_ini Preferences dllInName1 STANDARD
expect_ini Preferences dllInName2 NONE

zul_start
open_sheet_from_tray
before=$(probe treecount "$SHEET")
tree_page 8
click 23380 && xdotool key Home
click 23384                             # Unload
[ "$(probe items "$SHEET" 23380)" = "ZUL standard MPEG audio input (STANDARD)" ] ||
  fail "after Unload: $(probe items "$SHEET" 23380)"
[ "$(probe treecount "$SHEET")" = $((before - 1)) ] || fail "the unloaded plug-in's page is still in the tree"
click 1
probe gone "$SHEET" 10000 || fail "OK did not close the dialog"
zul_quit
expect_ini Preferences dllInName0 STANDARD
expect_ini Preferences dllInName1 NONE
echo "ok: plug-in load, order, page, fault and unload"
echo PASS
