#!/bin/bash
# Builds, then runs the benchmark of the bridge under Wine and prints its
# figures. Arguments go to host_bench64.exe: "short" for a tenth of the
# rounds, and the sections to run (all by default): requests, listing,
# compression, decompression, clients, first-frame, idle.
#
# Wine's server and every process of the run share one CPU: the client
# waits while the host works, and on a machine shared with other work a
# wake-up on another CPU costs more than a whole request, by an amount that
# changes from run to run. TANDREL_BENCH_CPU names the CPU (by default the
# last one); "all" leaves the processes to the scheduler.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
"$TANDREL_ROOT/scripts/build.sh" >/dev/null
cpu=${TANDREL_BENCH_CPU:-$(($(nproc) - 1))}
# This prefix's server starts again, from this shell, with its CPU.
quiet_wine wineserver -k || true
quiet_wine wineserver -w || true
if [ "$cpu" != all ]; then taskset -pc "$cpu" $$ >/dev/null; fi
ensure_wine
status=0
wine "$BUILD_DIR/bin/host_bench64.exe" "$@" </dev/null || status=$?
quiet_wine wineserver -k || true
exit $status
