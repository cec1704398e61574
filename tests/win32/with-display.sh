#!/usr/bin/env bash
# Runs a command with an X display for Wine's windows: the caller's, or a virtual one.
set -euo pipefail
if [[ -z ${DISPLAY:-} ]]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
exec "$@"
