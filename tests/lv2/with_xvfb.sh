#!/usr/bin/env bash
# with_xvfb.sh COMMAND...: runs the command with an X server of its own (Xvfb) as DISPLAY, and
# stops the server after it.
set -u
source "$(dirname "$0")/test_services.sh"
start_xvfb
"$@"
status=$?
exit $status
