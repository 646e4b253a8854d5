#!/usr/bin/env bash
# Runs a Wine test program with a loopback FTP server beside it; its port
# and home folder (a Unix path) reach the program as ZUL_TEST_FTP_PORT and
# ZUL_TEST_FTP_HOME.
#   run_with_ftp_server.sh <test program> [arguments]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
run=$(mktemp -d)
mkdir -p "$run/home"
server=
cleanup() {
  [[ -n $server ]] && kill "$server" 2>/dev/null || true
  rm -rf "$run"
}
trap cleanup EXIT
/usr/bin/python3 "$here/ftp_server.py" --home "$run/home" --port-file "$run/port" --lifetime 600 &
server=$!
for _ in $(seq 1 100); do
  [[ -s $run/port ]] && break
  sleep 0.1
done
export ZUL_TEST_FTP_PORT=$(cat "$run/port") ZUL_TEST_FTP_HOME=$run/home
"${ZUL_WINE:-wine}" "$@"
