#!/usr/bin/env bash
# The viewer on Wayland itself: starts pvz-viewer under weston's headless backend with the
# toolkit's Wayland platform, waits until the window has been drawn (a buffer attached to its
# top-level surface and committed), checks that nothing was reported, and ends it.
# The output is WIDTH x HEIGHT (1920 x 1080 by default). On a small output such as weston's
# default 1024 x 640 the window must still fit maximised: the compositor ends a client whose
# window is larger than the maximised state it was given.
# Usage: weston_smoke.sh PVZ_VIEWER [WIDTH HEIGHT]. Exits 77 (skipped) where weston or the plugin
# is missing.
set -euo pipefail
viewer=$1
width=${2:-1920}
height=${3:-1080}
if ! command -v weston >/dev/null || ! ls /usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so >/dev/null 2>&1; then
  echo "weston or the toolkit's Wayland plugin is not installed: skipped"
  exit 77
fi

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 0700 "$XDG_RUNTIME_DIR"
socket=pvz-smoke-$$
weston --backend=headless-backend.so --width="$width" --height="$height" --socket="$socket" --idle-time=0 --no-config >"$work/weston.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/$socket" ] && break; sleep 0.05; done
[ -S "$XDG_RUNTIME_DIR/$socket" ] || { echo "weston did not start:"; cat "$work/weston.log"; exit 1; }

mkdir "$work/data"
cd "$work/data"
env -u DISPLAY WAYLAND_DISPLAY="$socket" QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=client HOME="$work" \
  "$viewer" >"$work/out" 2>"$work/err" &
viewer_pid=$!
pids+=("$viewer_pid")

drawn=no
for _ in $(seq 200); do
  if grep -q 'xdg_toplevel@' "$work/err" && grep -q 'wl_surface@[0-9]*\.attach(wl_buffer@' "$work/err" &&
    grep -q 'wl_surface@[0-9]*\.commit()' "$work/err"; then
    drawn=yes
    break
  fi
  kill -0 "$viewer_pid" 2>/dev/null || break
  sleep 0.05
done
[ "$drawn" = yes ] || { echo "the window was never drawn:"; grep -v '^\[' "$work/err" | head -20; exit 1; }
# A protocol error (a size the compositor refuses, say) comes a moment after the first frame.
sleep 1
kill -0 "$viewer_pid" 2>/dev/null || { echo "the viewer ended by itself:"; grep -v '^\[' "$work/err" | head -20; exit 1; }

kill -TERM "$viewer_pid"
for _ in $(seq 100); do kill -0 "$viewer_pid" 2>/dev/null || break; sleep 0.05; done
if kill -0 "$viewer_pid" 2>/dev/null; then
  echo "the viewer did not end"
  exit 1
fi
# Everything but the protocol trace: the toolkit's warnings, if any.
reported=$(grep -v '^\[ *[0-9.]*\] ' "$work/err" || true)
if [ -n "$reported" ]; then
  echo "the viewer reported:"
  echo "$reported"
  exit 1
fi
echo "drawn natively on Wayland and ended"
