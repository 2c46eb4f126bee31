#!/usr/bin/env bash
# Installs the Debian packages this project needs, only when one is missing.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev
  libzint-dev libgtest-dev
  poppler-utils zbar-tools fonts-liberation fonts-urw-base35 xvfb xauth python3
  clang libclang-rt-14-dev
  cups libcups2-dev printer-driver-cups-pdf xdotool x11-utils desktop-file-utils
  dpkg-dev lintian appstream cups-ipp-utils
  shared-mime-info xdg-utils libfile-mimeinfo-perl libglib2.0-bin
  libqt6sql6-sqlite libqt6sql6-psql postgresql
  qt6-multimedia-dev libzxing-dev x11-apps
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
