#!/bin/bash
# Builds, then runs Tandrel64.exe under Wine (configuration mode without
# arguments; any arguments are passed on).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
"$TANDREL_ROOT/scripts/build.sh"
ensure_wine
wine "$BUILD_DIR/bin/Tandrel64.exe" "$@"
