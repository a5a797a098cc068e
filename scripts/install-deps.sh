#!/usr/bin/env bash
# Installs, with apt-get, whatever this machine lacks to build and test the
# workstation, and the packages named as arguments. Safe to run again: it
# installs nothing that is already there.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  libgtest-dev libgmock-dev
  gettext
  libsqlite3-dev
  qt6-base-dev qt6-qpa-plugins libgl-dev fonts-dejavu-core
  fonts-liberation2 qt6-translations-l10n  # the window's font and Qt's own texts in Russian
  xvfb xdotool imagemagick
  openbox fonts-croscore  # a window manager for the display-scale test; Arimo for the font fallback test
  ser2net  # the serial device server that the network ports are tested against
  dpkg-dev
  "$@"  # extra packages a caller needs on top (CI's sanitizer and fuzz tools)
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if ((${#missing[@]} > 0)); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi
  "${sudo_cmd[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
