#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
if [ ! -x build/bin/talvi ]; then
  echo "Gebaut. Das Programm talvi selbst gibt es noch nicht; bisher entstehen die Bibliotheken, build/bin/talvi-butil und die Tests."
  exit 0
fi
exec build/bin/talvi "$@"
