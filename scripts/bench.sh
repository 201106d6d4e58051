#!/usr/bin/env bash
# Builds the optimised program, writes the demo cities at scales 1, 10 and 100
# (once; they are kept in build-perf/cities) and prints the performance table:
# medians of every timing the viewer is held to, with their targets.
#
#   bash scripts/bench.sh [benchmark options]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build-perf -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build build-perf -j"$(nproc)" --target urbica urbica-democity urbica_perf
cities=build-perf/cities
for scale in 1 10 100; do
    if [ ! -f "$cities/$scale/done" ]; then
        rm -rf "$cities/$scale"
        extra=()
        # The viewer's own settings point at the standard demo city.
        [ "$scale" = 1 ] && extra=(--program-files build-perf/bin)
        build-perf/bin/urbica-democity --out "$cities/$scale" --scale "$scale" "${extra[@]}"
        touch "$cities/$scale/done"
    fi
done
QT_QPA_PLATFORM=offscreen build-perf/bin/urbica_perf --cities "$cities" \
    --viewer build-perf/bin/urbica "$@"
