#!/bin/sh
# Runs a test on the X11 platform inside its own virtual X server, for what
# the offscreen platform cannot show: the window-manager hints and icons a
# real display receives, read back with xprop. Exits 77 (CTest's skip code)
# without them.
if ! command -v xvfb-run >/dev/null 2>&1 || ! command -v xprop >/dev/null 2>&1; then
  echo "xvfb-run or xprop is not installed: skipped"
  exit 77
fi
export QT_QPA_PLATFORM=xcb
exec xvfb-run -a -s "-screen 0 1024x768x24" "$@"
