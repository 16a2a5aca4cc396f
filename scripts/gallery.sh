#!/usr/bin/env bash
# Builds the program and writes a picture of every dialog and window into
# build/gallery/ (one PNG per resource name).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
rm -rf build/gallery
build/bin/talvi-gallery build/gallery
echo "Die Bilder liegen in build/gallery/."
