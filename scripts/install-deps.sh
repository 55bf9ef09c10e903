#!/bin/bash
# Installs the Debian packages that building and testing Tessaly need, when
# they are missing. Safe to run again.
set -euo pipefail

packages=(build-essential cmake qt6-base-dev qt6-webengine-dev libqt6sql6-sqlite libqt6sql6-psql libsqlite3-dev libpq-dev
          libgl1-mesa-dev libxcb1-dev pkgconf libical-dev libgumbo-dev postgresql xvfb xauth x11-utils iproute2 util-linux
          python3 python3-dateutil xdotool diffutils-doc libexpat1-dev libxslt1-dev) # the last three: real HTML manuals the text pane's test shows
[ "$#" -gt 0 ] && packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi
