#!/usr/bin/env bash
# The searches of what is near against real extracts: each is imported, and
# for the five kinds of places it holds most of and five points the five
# nearest objects computed from the extract itself are compared with the
# first five "urbica-find near" lists (tests/tools/kindcheck.cpp).
#
#   bash scripts/kind_check.sh EXTRACT.osm[.pbf]...   (default: ../shared/osm/*)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
cmake --build "$build" -j2 --target urbica-import urbica_kindcheck > /dev/null
files=("$@")
[ ${#files[@]} -eq 0 ] && files=(../shared/osm/*.osm ../shared/osm/*.osm.pbf)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
status=0
for f in "${files[@]}"; do
    [ -f "$f" ] || continue
    echo "== $(basename "$f")"
    "$build/bin/urbica-import" "$f" --out "$tmp/data" > /dev/null
    "$build/bin/urbica_kindcheck" "$f" "$tmp/data" || status=1
    rm -rf "$tmp/data"
done
exit $status
