#!/usr/bin/env bash
# Sets up a fresh Debian machine if needed, builds everything and runs the
# whole test suite: the unit tests of the logic and the end-to-end tests of
# the real executable under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/build.sh
ctest --test-dir build/host --output-on-failure "$@"
