#!/bin/sh
# Runs a command on a desktop of its own as a screen reader's user has it: a
# virtual X server, a session bus that starts at-spi2-core's accessibility bus,
# and Qt's accessibility on. Its own runtime folder keeps the accessibility
# bus's socket apart from any other run.
set -eu
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
dbus-run-session -- xvfb-run -a "$@"
