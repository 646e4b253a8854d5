#!/bin/sh
# Runs a Wine test of zul.exe's start-up and quit with Wine's exception
# messages ("err:seh", "Unhandled ...") written to a file the test reads: a
# fault in a plug-in's thread goes to the crash handler and the process
# still exits with code 0, so only these lines show it. The file is handed over in ZUL_SEH_LOG
# as a Windows path.
#   run_observed.sh [--busy] <wine loader> <test.exe> [args...]
# --busy keeps both CPUs busy with two shell loops for the whole run, so
# start-up races show as they do on a loaded machine.
busy=
if [ "$1" = --busy ]; then
  busy=1
  shift
fi
log=$(mktemp /tmp/zul-seh.XXXXXX)
loops=
if [ -n "$busy" ]; then
  sh -c 'while :; do :; done' &
  loops="$!"
  sh -c 'while :; do :; done' &
  loops="$loops $!"
fi
export WINEDEBUG=-all,err+seh
ZUL_SEH_LOG="Z:$(printf '%s' "$log" | tr / '\\')"
export ZUL_SEH_LOG
"$@" 2>>"$log"
status=$?
for p in $loops; do kill "$p" 2>/dev/null; done
for p in $loops; do wait "$p" 2>/dev/null; done
if [ -s "$log" ]; then
  echo "Wine's exception messages during the run:" >&2
  cat "$log" >&2
fi
rm -f "$log"
exit $status
