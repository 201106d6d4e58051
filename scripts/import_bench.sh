#!/usr/bin/env bash
# The importer side by side with libosmium alone on synthetic extracts:
# wall time and peak memory of `urbica-import` and of
# `osmium add-locations-to-ways` (reading the file and placing every node on
# its ways) on the same PBF file, and their ratios.
#   scripts/import_bench.sh [NODES...]     (default 1000000 3000000)
# Needs the optimised build (scripts/bench.sh makes build-perf) and
# osmium-tool; the extracts are kept in build-perf/osm/.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v osmium >/dev/null || { echo "osmium-tool is needed" >&2; exit 2; }
[ -x build-perf/bin/urbica-import ] || cmake --build build-perf --target urbica-import
sizes=("$@")
[ ${#sizes[@]} -eq 0 ] && sizes=(1000000 3000000)
mkdir -p build-perf/osm
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Prints "seconds peak-MB" of a command.
measure() {
    /usr/bin/time -f "%e %M" -o "$work/time" "$@" >/dev/null 2>&1
    read -r s kb <"$work/time"
    echo "$s $((kb / 1024))"
}
printf '| Nodes | Ways | urbica-import | libosmium alone | Time ratio |\n'
printf '|---|---|---|---|---|\n'
for n in "${sizes[@]}"; do
    pbf=build-perf/osm/synthetic-$n.osm.pbf
    if [ ! -f "$pbf" ]; then
        python3 tools/import/synthetic_osm.py "$work/s.osm" "$n" >&2
        osmium cat "$work/s.osm" -o "$pbf" --overwrite
        rm -f "$work/s.osm"
    fi
    ways=$(osmium fileinfo -e -g data.count.ways "$pbf")
    read -r ts tm < <(measure build-perf/bin/urbica-import "$pbf" --out "$work/city")
    read -r os om < <(measure osmium add-locations-to-ways "$pbf" -o "$work/l.osm.pbf" --overwrite)
    rm -rf "$work/city" "$work/l.osm.pbf"
    ratio=$(python3 -c "print(f'{$ts / $os:.2f}×')")
    printf '| %s | %s | %s s, %s MB | %s s, %s MB | %s |\n' \
        "$n" "$ways" "$ts" "$tm" "$os" "$om" "$ratio"
done
