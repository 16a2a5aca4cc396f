#!/usr/bin/env bash
# Installs the Debian 12 packages TALVERA needs, only those that are missing.
set -euo pipefail
packages=(
  build-essential cmake ninja-build ccache pkg-config
  libsqlite3-dev sqlite3 zlib1g-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  qt6-base-dev libgl-dev libx11-dev fonts-dejavu-core
  qt6-translations-l10n
  breeze-icon-theme libqt6svg6
  poppler-utils libxml2-utils
  qt6-charts-dev libqt6opengl6-dev
)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "Installiere fehlende Pakete: ${missing[*]}"
as_root=()
if [ "$(id -u)" -ne 0 ]; then
  as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
