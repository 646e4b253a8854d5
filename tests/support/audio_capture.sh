#!/bin/sh
# Runs a command - a Wine test - beside a recorder of the PulseAudio null
# sink's monitor that the test drives through files (tests/support/
# audio_capture.h). The recorder runs out here rather than being started by
# the test: a Unix program started from inside a Wine process can leave that
# process's winmm device thread deaf, so that a later waveOutOpen never returns.
#   tests/support/audio_capture.sh <wine loader> test.exe [args...]
# Control files in $ZUL_AUDIO_CAPTURE_DIR: "start" holds the name of a new
# recording (<name>.raw); "stop" ends it and "<name>.done" says it ended.
set -u
dir=$(mktemp -d "${TMPDIR:-/tmp}/zul-capture.XXXXXX") || exit 1
export ZUL_AUDIO_CAPTURE_DIR="$dir"
sink=${ZUL_PULSE_SINK:-zul_sink}

(
  pid= name=
  while [ ! -e "$dir/quit" ]; do
    if [ -e "$dir/start" ] && [ -z "$pid" ]; then
      name=$(cat "$dir/start")
      rm -f "$dir/start"
      parec --device="$sink.monitor" --format=s16le --rate=44100 --channels=2 --raw --latency-msec=20 \
        "$dir/$name.raw" &
      pid=$!
    fi
    if [ -e "$dir/stop" ]; then
      rm -f "$dir/stop"
      if [ -n "$pid" ]; then kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; fi
      pid=
      touch "$dir/$name.done"
    fi
    sleep 0.02
  done
  if [ -n "$pid" ]; then kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; fi
) &
recorder=$!

"$@"
status=$?
touch "$dir/quit"
wait "$recorder"
rm -rf "$dir"
exit $status
