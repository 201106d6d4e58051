#!/usr/bin/env bash
# Installs what is missing, builds, writes the demo city and opens the viewer on it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
build/bin/urbica-democity --out build/demo-city --program-files build/bin
exec build/bin/urbica
