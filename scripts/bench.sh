#!/bin/bash
# Builds, then runs the benchmark of the codec host under Wine and prints its
# figures (about half a minute).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
"$TANDREL_ROOT/scripts/build.sh" >/dev/null
ensure_wine
status=0
wine "$BUILD_DIR/bin/host_bench64.exe" </dev/null || status=$?
quiet_wine wineserver -k || true
exit $status
