#!/bin/bash
# Builds, then runs every test under Wine through ctest; fails when any fails.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
"$TANDREL_ROOT/scripts/build.sh"
ensure_wine
status=0
ctest --test-dir "$BUILD_DIR" -j1 --output-on-failure "$@" || status=$?
quiet_wine wineserver -k || true
exit $status
