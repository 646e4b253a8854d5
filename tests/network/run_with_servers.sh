#!/usr/bin/env bash
# Runs a Wine test program with the loopback stream servers (plain and TLS)
# beside it; their ports reach the program as ZUL_TEST_HTTP_PORT and
# ZUL_TEST_HTTPS_PORT. The servers stop with this script, or by themselves
# after their lifetime.
#   run_with_servers.sh <fixture dir> <test program> [arguments]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
fixtures=$1
shift
run=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$run"
}
trap cleanup EXIT
/usr/bin/python3 "$here/icy_server.py" --mp3 "$fixtures/stream.mp3" --port-file "$run/http" --lifetime 600 &
pids+=($!)
/usr/bin/python3 "$here/icy_server.py" --mp3 "$fixtures/stream.mp3" --port-file "$run/https" \
  --cert "$fixtures/tls.pem" --lifetime 600 &
pids+=($!)
for _ in $(seq 1 100); do
  [[ -s $run/http && -s $run/https ]] && break
  sleep 0.1
done
export ZUL_TEST_HTTP_PORT=$(cat "$run/http") ZUL_TEST_HTTPS_PORT=$(cat "$run/https")
"${ZUL_WINE:-wine}" "$@"
