#!/bin/bash
# Builds, then runs Tandrel64.exe under Wine. "config", or no argument, opens
# the configuration tool (see run_config_tool in env.sh); other arguments are
# passed on to Tandrel64.exe.
set -euo pipefail
user_display=${DISPLAY:-}
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
"$TANDREL_ROOT/scripts/build.sh"
if [ $# -eq 0 ] || [ "$1" = config ]; then
    run_config_tool "$user_display"
else
    ensure_wine
    wine "$BUILD_DIR/bin/Tandrel64.exe" "$@"
fi
