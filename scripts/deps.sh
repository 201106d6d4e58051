#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those that are missing.
set -euo pipefail
# qt6-translations-l10n: Qt's own dialogs and buttons in Russian.
# qt6-base-private-dev: the window tests queue input as the window system does.
pkgs=(cmake make g++ pkg-config qt6-base-dev qt6-base-private-dev qt6-translations-l10n libgl-dev
      libgtest-dev libgmock-dev libbenchmark-dev fonts-dejavu-core fonts-liberation
      libosmium2-dev libprotozero-dev zlib1g-dev libbz2-dev libexpat1-dev liblz4-dev
      cups printer-driver-cups-pdf poppler-utils desktop-file-utils appstream)
# The fuzz script (scripts/fuzz.sh) asks for clang and its libFuzzer runtime,
# the package script (scripts/package.sh) for Debian's packaging tools.
[ "${1:-}" = "--fuzz" ] && pkgs+=(clang libclang-rt-14-dev)
[ "${1:-}" = "--package" ] && pkgs+=(dpkg-dev file lintian)
# The import benchmark (scripts/import_bench.sh) compares with osmium-tool.
[ "${1:-}" = "--import-bench" ] && pkgs+=(osmium-tool)
# The side-by-side drawing with Mapnik (scripts/mapnik_compare.py) needs its Python binding.
[ "${1:-}" = "--mapnik-compare" ] && pkgs+=(osmium-tool python3-mapnik)
missing=()
for p in "${pkgs[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
