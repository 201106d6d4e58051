#!/usr/bin/env bash
# The kill tests with many more kills than the test run makes (200 each):
#   scripts/killtest.sh [KILLS]    (default 2000)
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build --target kill_tests urbica_killdriver
QT_QPA_PLATFORM=offscreen URBICA_KILL_ROUNDS="${1:-2000}" build/bin/kill_tests
