#!/usr/bin/env bash
# Starts the simulated unit on COM9 and the console; see scripts/demo.
set -euo pipefail
cd "$(dirname "$0")/../.."
build/revodive
