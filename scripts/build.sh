#!/bin/bash
# Installs what is missing, prepares the test Wine prefix and builds everything.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
ensure_packages
# Test discovery runs the test programs under Wine during the build.
ensure_wine
configure_and_build
