#!/usr/bin/env bash
# Sets up a fresh Debian machine if needed, builds the launcher and runs it
# under Wine on the sample application in sample/, printing what the Java
# runtime (a stand-in that records its command line) was started with. Where
# 32-bit programs cannot run, the demo runs the 64-bit launcher and says so.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/build.sh >/dev/null
exec python3 scripts/demo.py
