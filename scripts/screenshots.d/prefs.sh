#!/usr/bin/env bash
# Pictures of every page of the preferences dialog, in English and in
# French (prefs-en-<n>.png, prefs-fr-<n>.png, n in tree order).
#   scripts/screenshots.d/prefs.sh <build folder>   (inside the test environment)
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/tests/prefs/prefs_driver.sh"
prefs_setup "$1" screenshots

pages() { # <language tag>
  local n count
  open_sheet_from_tray
  count=$(probe treecount "$SHEET")
  for ((n = 0; n < count; n++)); do
    tree_page "$n"
    sleep 0.5
    shot_sheet "prefs-$1-$n"
  done
  click 2
  probe gone "$SHEET" 10000 || fail "the dialog did not close"
}

zul_start
pages en
zul_quit
printf '[Preferences]\r\nLanguage=French\r\nMakeTranslation=0\r\n' >"$ZDIR/zul.ini"
zul_start
pages fr
zul_quit
