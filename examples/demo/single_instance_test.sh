#!/usr/bin/env bash
# One interactive demo at a time: a second start ends at once (status 0),
# the first goes on; headless runs are not held back; the window ends with
# its guard.
set -u
demo=$1 work=$2
mkdir -p "$work"
log="$work/first.log"
"$demo" 2>"$log" >/dev/null &
first=$!
trap 'kill $first 2>/dev/null' EXIT
for _ in $(seq 600); do
    grep -q 'this is the running demo' "$log" && break
    kill -0 $first 2>/dev/null || { echo "first demo ended early:"; cat "$log"; exit 1; }
    sleep 0.1
done
grep -q 'this is the running demo' "$log" || { echo "first demo never took the lock"; exit 1; }

timeout 60 "$demo" >"$work/second.log" 2>&1
rc=$?
[ $rc -eq 0 ] || { echo "second start: status $rc"; cat "$work/second.log"; exit 1; }
grep -q 'this is the running demo' "$work/second.log" && { echo "second start took the lock too"; exit 1; }
kill -0 $first 2>/dev/null || { echo "first demo ended after the second start"; exit 1; }

timeout 120 "$demo" --pictures "$work/pictures" --seconds 0.5 >/dev/null 2>&1 \
    || { echo "a picture run was held back by the running demo"; exit 1; }

window=$(pgrep -P $first)
kill $first
wait $first 2>/dev/null
for _ in $(seq 100); do
    [ -n "$window" ] && kill -0 "$window" 2>/dev/null || exit 0
    sleep 0.1
done
echo "the demo window outlived its guard"
exit 1
