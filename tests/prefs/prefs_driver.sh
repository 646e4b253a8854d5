# Functions that drive a real zul.exe's preferences dialog as a user does:
# the tray icon's menu, mouse clicks on controls and keys, all through X
# (xdotool); window state is read back with prefs_probe.exe. Sourced by the
# preferences tests and the screenshot script, inside the test environment
# (DISPLAY, ZUL_WINE).
#   prefs_setup <build folder> <name>   a fresh folder with zul.exe: $ZDIR
SHEET=-sheet-  # the preferences dialog, whatever its language

prefs_setup() {
  BUILD=$1
  ZDIR=$BUILD/test-run-prefs/$2
  rm -rf "$ZDIR"
  mkdir -p "$ZDIR/Plugins"
  cp "$BUILD/bin/zul.exe" "$ZDIR/"
  cp "$BUILD/bin/in_prefs_page.dll" "$ZDIR/Plugins/"
  cp "$(dirname "${BASH_SOURCE[0]}")/../../lang/zul_French.ini" "$ZDIR/"
  SHOTS=${ZUL_SCREENSHOT_DIR:-$BUILD/test-artefacts/prefs}
  mkdir -p "$SHOTS"
  ZWIN=$("$ZUL_WINE" winepath -w "$ZDIR" 2>/dev/null | tr -d '\r')
}

fail() {
  echo "FAIL: $*" >&2
  shot "failure-$(date +%s)"
  echo "--- console of the running program:" >&2
  probe console - | grep -v -e IPC_GETVERSION -e "^$" | tail -25 >&2
  exit 1
}

# The probe's answer without carriage returns, and its exit status.
probe() {
  local out rc
  out=$("$ZUL_WINE" "$BUILD/bin/prefs_probe.exe" "$@" 2>/dev/null)
  rc=$?
  [ -n "$out" ] && printf '%s\n' "${out//$'\r'/}"
  return $rc
}

# until <seconds> <command...>: polls the command until it succeeds.
until_ok() {
  local limit=$1 start=$SECONDS
  shift
  while ! "$@"; do
    [ $((SECONDS - start)) -ge "$limit" ] && return 1
    sleep 0.2
  done
}

shot() { import -window root "$SHOTS/$1.png" 2>/dev/null; }

# A picture of the dialog alone.
shot_sheet() {
  local w
  w=$(xdotool search --name "^$(probe text "$SHEET" 0)\$" 2>/dev/null | head -1)
  if [ -n "$w" ]; then import -window "$w" "$SHOTS/$1.png" 2>/dev/null; else shot "$1"; fi
}

zul_up() { [ -n "$(probe ipc - 0)" ]; }
zul_down() { ! zul_up; }

zul_start() {
  (cd "$ZDIR" && exec "$ZUL_WINE" zul.exe "$@" >/dev/null 2>&1) &
  ZPID=$!
  until_ok 60 zul_up || fail "zul.exe did not start"
}

# The tray menu's first item, "Exit".
zul_quit() {
  local try menu
  for try in 1 2 3; do
    open_tray_menu
    menu=$(menu_windows | head -1)
    eval "$(xdotool getwindowgeometry --shell "$menu")"
    xdotool mousemove $((X + 30)) $((Y + 12)) click 1
    until_ok 20 zul_down && break
  done
  zul_down || fail "zul.exe did not quit"
  wait "$ZPID" 2>/dev/null
}

menu_open() { [ -n "$(menu_windows)" ]; }
submenu_open() { [ "$(menu_windows | wc -l)" -ge 2 ]; }
menu_windows() { xdotool search --onlyvisible --class zul.exe 2>/dev/null | while read -r w; do
  [ -z "$(xdotool getwindowname "$w" 2>/dev/null)" ] && echo "$w"; done; }

# Right-clicks the tray icons from the last one back until ZUL's menu opens.
open_tray_menu() {
  local tray x y w slot
  tray=$(xdotool search --name "Wine System Tray" | head -1)
  [ -n "$tray" ] || fail "no system tray"
  eval "$(xdotool getwindowgeometry --shell "$tray")"
  for slot in $(seq $((WIDTH / 20 - 1)) -1 0); do
    x=$((X + slot * 20 + 10)) y=$((Y + HEIGHT / 2))
    xdotool mousemove "$x" "$y" click 3
    if until_ok 2 menu_open; then return 0; fi
  done
  fail "ZUL's tray menu did not open"
}

# Tray menu, "Settings", "Advanced...": the preferences command.
open_sheet_from_tray() {
  open_tray_menu
  sleep 0.3
  # Exit, About..., Windows, Settings; the sub-menu opens on its first
  # item, and "Advanced..." is its last.
  xdotool key Down Down Down Down Right
  until_ok 5 submenu_open || fail "the Settings sub-menu did not open"
  xdotool key Up Return
  probe wait "$SHEET" 30000 || fail "the preferences dialog did not open from the tray menu"
}

click() { # <control id> [window title]
  local at start=$SECONDS
  # Input is handled when the program gets to it: a page chosen a moment ago
  # may not be shown yet.
  until at=$(probe center "${2:-$SHEET}" "$1"); do
    [ $((SECONDS - start)) -ge 10 ] && fail "control $1 is not shown"
    sleep 0.2
  done
  # shellcheck disable=SC2086
  xdotool mousemove $at click 1
}

# Selects the tree's first page, then the next one n times.
tree_page() { # <n>
  local at
  # The first item: a click elsewhere could fall on a button that folds a
  # level away.
  at=$(probe corner "$SHEET" 23100) || fail "no tree"
  # shellcheck disable=SC2086
  xdotool mousemove $at click 1
  xdotool key Home
  local i
  for ((i = 0; i < $1; i++)); do xdotool key Down; done
}

type_into() { # <control id> <text>
  click "$1"
  xdotool key ctrl+a End shift+Home BackSpace
  xdotool type --delay 20 "$2"
}

ini_value() { # <section> <key>: the value in the settings file
  tr -d '\r' <"$ZDIR/zul.ini" | awk -F= -v s="[$1]" -v k="$2" '
    /^\[/ { in_s = ($0 == s) } in_s && $1 == k { sub(/^[^=]*=/, ""); print; exit }'
}

expect_ini() { # <section> <key> <value>
  local v
  v=$(ini_value "$1" "$2")
  [ "$v" = "$3" ] || fail "$1/$2 is '$v', expected '$3'"
}

no_message() { ! probe message ZUL >/dev/null; }

# The text of the message box titled "ZUL" that must appear now.
message_text() {
  until_ok 10 probe message ZUL >/dev/null || fail "no message box appeared"
  probe message ZUL
}

# Answers the message box with a click on one of its buttons (1 OK, 6 Yes,
# 7 No) and waits until it is gone.
answer_message() { # <button id>
  click "$1" ZUL
  until_ok 10 no_message || fail "the message box stayed"
}

# Opens a drop-down list with a click, moves in it with a key, takes the item.
choose() { # <control id> <key>
  local id=$1
  dropped() { [ "$(probe dropped "$SHEET" "$id")" = 1 ]; }
  closed() { [ "$(probe dropped "$SHEET" "$id")" = 0 ]; }
  click "$id"
  until_ok 10 dropped || fail "the list of $id did not open"
  xdotool key "$2" Return
  until_ok 10 closed || fail "the list of $id did not close"
}
