#!/usr/bin/env bash
# Runs a widget test on a display of its own under a real window manager
# (openbox), as users run the program; skipped (77) where either is missing.
set -u
command -v Xvfb >/dev/null && command -v openbox >/dev/null || { echo "Xvfb or openbox missing: skipped"; exit 77; }
display=70
while [[ -e /tmp/.X$display-lock || -e /tmp/.X11-unix/X$display ]]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
server=$!
trap 'kill $manager $server 2>/dev/null; wait 2>/dev/null' EXIT
for _ in $(seq 50); do [[ -e /tmp/.X11-unix/X$display ]] && break; sleep 0.1; done
export DISPLAY=":$display" QT_QPA_PLATFORM=xcb
# openbox runs its start-up command once it manages the screen.
ready=$(mktemp -u)
openbox --startup "touch $ready" >/dev/null 2>&1 &
manager=$!
for _ in $(seq 100); do [[ -e $ready ]] && break; sleep 0.1; done
rm -f "$ready"
"$@"
