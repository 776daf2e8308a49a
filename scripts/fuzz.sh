#!/bin/bash
# Builds, then fuzzes the codec host under Wine and prints a summary line.
#   ./scripts/fuzz.sh [--no-build] [seed [requests [seconds]]]
# Defaults: seed 1, 1000000 requests, no time limit. Findings, one
# reproducer file each, and the hosts' exception log land in build/fuzz/.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
if [ "${1:-}" = --no-build ]; then shift; else "$TANDREL_ROOT/scripts/build.sh" >/dev/null; fi
ensure_wine
seed=${1:-1} requests=${2:-1000000} seconds=${3:-1000000}
out="$BUILD_DIR/fuzz"
mkdir -p "$out"
log="$out/stderr-$seed.txt"
: > "$log"
status=0
wine "$BUILD_DIR/bin/host_fuzz64.exe" "$seed" "$requests" "$seconds" "$(winepath -w "$log")" \
    "$(winepath -w "$out")" 2>>"$log" </dev/null || status=$?
exit $status
