#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh

# The data root is the Pfad of TALVI.INI's [TALVI] section. On a first run,
# as the installer would, it is set to $XDG_DATA_HOME/talvera. The chart
# templates are written there on every run, so that a new Mandant starts
# from the charts of this build.
settings=${TALVERA_WINDIR:-${XDG_CONFIG_HOME:-$HOME/.config}/talvera}
ini="$settings/TALVI.INI"
root=$(awk '/^[ \t]*\[/ { inTalvi = tolower($0) ~ /^[ \t]*\[talvi\]/; next }
            inTalvi && tolower($0) ~ /^[ \t]*pfad[ \t]*=/ { sub(/^[^=]*=[ \t]*/, ""); sub(/[ \t\r]*$/, ""); print; exit }' \
       "$ini" 2>/dev/null || true)
if [ -z "$root" ]; then
  root=${XDG_DATA_HOME:-$HOME/.local/share}/talvera
  if [ -e "$ini" ]; then
    echo "Hinweis: $ini nennt kein Datenverzeichnis (Pfad); die Kontenrahmen liegen in $root."
  else
    mkdir -p "$settings"
    printf '[TALVI]\nPfad=%s\n' "$root" > "$ini"
  fi
fi
mkdir -p "$root"
build/bin/talvi-charts resources/charts "$root" >/dev/null
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" = "" ]; then
  echo "Gebaut. Es gibt keine Anzeige (DISPLAY ist leer). Starten Sie TALVERA an einem Bildschirm mit"
  echo "  build/bin/talvi"
  echo "oder ohne Bildschirm in einer virtuellen Anzeige mit"
  echo "  xvfb-run -a build/bin/talvi        (Paket xvfb)"
  exit 0
fi
exec build/bin/talvi "$@"
