#!/bin/bash
# Builds, then runs under Wine. Without arguments: the bridge demo, which
# sets slot tdl0 up for Wine's 32-bit mrle codec and compresses a clip
# through it from a 64-bit program. "config" opens the configuration tool
# (see run_config_tool in env.sh); other arguments are passed on to
# Tandrel64.exe.
set -euo pipefail
user_display=${DISPLAY:-}
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
"$TANDREL_ROOT/scripts/build.sh"
if [ $# -eq 0 ]; then
    ensure_wine
    wine "$BUILD_DIR/bin/bridge_demo.exe" /assign
elif [ "$1" = config ]; then
    run_config_tool "$user_display"
else
    ensure_wine
    wine "$BUILD_DIR/bin/Tandrel64.exe" "$@"
fi
