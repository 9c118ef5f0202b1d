#!/usr/bin/env bash
# Types into the typing host with real X key events: typing_host_end_to_end.sh RUNNER HOST
# The keys go through Xvfb, Wine's keyboard translation and the host's message loop into
# the text service; the host writes its document when F12 ends it.
set -u
runner=$1
host=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/moik-typing-XXXXXX")
cleanup() {
  [ -n "${host_pid:-}" ] && kill "$host_pid" 2>/dev/null
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# One display for the host and for xdotool.
exec 8< <(Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp 2>/dev/null & echo "pid $!"; wait)
read -r _ xvfb_pid <&8
read -r display_number <&8
export DISPLAY=":$display_number"

out="$work/document.txt"
"$runner" "$host" --out "Z:${out//\//\\}" &
host_pid=$!

window=
for _ in $(seq 1 120); do
  window=$(xdotool search --name 'Mo_Input_Ka typing host' 2>/dev/null | head -n 1)
  [ -n "$window" ] && break
  kill -0 "$host_pid" 2>/dev/null || break
  sleep 0.5
done
if [ -z "$window" ]; then
  echo "typing host: no window appeared" >&2
  exit 1
fi
sleep 1

send() {
  xdotool key --window "$window" --delay 150 "$@" 2>/dev/null
  sleep 0.3
}
# x has twelve candidates: Space converts (page 1), Space pages on, 2 chooses the
# second of page 2. Then h, Space, 3 chooses the third candidate of h.
send x space space 2
send h space 3
send F12

for _ in $(seq 1 60); do
  kill -0 "$host_pid" 2>/dev/null || break
  sleep 0.5
done
wait "$host_pid"
rc=$?
host_pid=
if [ $rc -ne 0 ]; then
  echo "typing host exited with $rc" >&2
  exit 1
fi
expected=$(printf '\xe7\xb4\xa2\xe6\xa3\xae')  # 索森
actual=$(cat "$out" 2>/dev/null)
if [ "$actual" != "$expected" ]; then
  echo "typing host: document is '$actual', expected '$expected'" >&2
  exit 1
fi
echo "typing host: document '$actual'"
