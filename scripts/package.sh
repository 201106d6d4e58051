#!/usr/bin/env bash
# Builds a Debian package of the viewer, its tools and the demo city, and
# prints the package's path as its last line. Install it with
#   sudo apt install ./PACKAGE.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh --package
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >&2
cmake --build build -j"$(nproc)" >&2
rm -f build/urbica_*.deb
(cd build && cpack -G DEB) >&2
package=$(ls build/urbica_*.deb)
realpath "$package"
