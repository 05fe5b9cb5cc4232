#!/usr/bin/env bash
# Runs the installer for a few seconds (the start-up screen), headless when there is no display.
set -euo pipefail
build=${1:-build}
timeout --preserve-status -s TERM 5 "$build/velmora-installer" || true
