#!/usr/bin/env bash
# Runs a Wine test program with the loopback update server beside it; its
# port reaches the program as ZUL_TEST_UPDATE_PORT.
#   run_with_update_server.sh <server root> <test program> [arguments]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$1
shift
run=$(mktemp -d)
server=
cleanup() {
  [[ -n $server ]] && kill "$server" 2>/dev/null || true
  rm -rf "$run"
}
trap cleanup EXIT
/usr/bin/python3 "$here/update_server.py" --root "$root" --port-file "$run/port" --lifetime 600 &
server=$!
for _ in $(seq 1 100); do
  [[ -s $run/port ]] && break
  sleep 0.1
done
export ZUL_TEST_UPDATE_PORT=$(cat "$run/port")
"${ZUL_WINE:-wine}" "$@"
