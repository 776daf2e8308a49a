#!/bin/bash
# Builds, then runs under Wine. Without arguments: the bridge demo, which
# sets slot tdl0 up for Wine's 32-bit mrle codec and compresses a clip
# through it from a 64-bit program. With arguments: Tandrel64.exe with them
# (any argument that is not a host or uninstall option opens the
# configuration tool).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
"$TANDREL_ROOT/scripts/build.sh"
ensure_wine
if [ $# -eq 0 ]; then
    wine "$BUILD_DIR/bin/bridge_demo.exe" /assign
else
    wine "$BUILD_DIR/bin/Tandrel64.exe" "$@"
fi
