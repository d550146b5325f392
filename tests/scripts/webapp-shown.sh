#!/usr/bin/env bash
# The local web application marks the page as shown once it has sent it to
# the client: scripts/run and scripts/bench wait for that mark.
set -uo pipefail

root=${KV_SOURCE_DIR:-$(cd "$(dirname "$0")/../.." && pwd)}
work=${KV_TEST_WORK:-$(mktemp -d)}
state=$work/state
rm -rf "$state"
mkdir -p "$work"

python3 "$root/scripts/webapp/server.py" --port 0 --state-dir "$state" >"$work/server.log" 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null' EXIT

# wait_for <seconds> <file>
wait_for() {
    local deadline=$((SECONDS + $1))
    until [ -s "$2" ]; do
        [ $SECONDS -lt $deadline ] && kill -0 "$server" 2>/dev/null || return 1
        sleep 0.1
    done
}

wait_for 30 "$state/ready" || { cat "$work/server.log"; echo "FAIL: the web application did not start"; exit 1; }
[ ! -e "$state/loaded" ] || { echo "FAIL: marked as shown before the page was sent"; exit 1; }
python3 - "$(cat "$state/ready")" <<'PY' || { echo "FAIL: the page was not served"; exit 1; }
import sys, urllib.request
page = urllib.request.urlopen("http://127.0.0.1:%s/?line=1" % sys.argv[1].strip(), timeout=10).read()
sys.exit(0 if b"AppExtension" in page else 1)
PY
wait_for 10 "$state/loaded" || { echo "FAIL: sending the page did not mark it as shown"; exit 1; }
echo "PASS"
