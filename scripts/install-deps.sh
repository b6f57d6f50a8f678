#!/usr/bin/env bash
# Installs every Debian 12 package the project builds, tests and runs with.
# Idempotent: packages already present are left as they are.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools libqt6printsupport6 qt6-qpa-plugins libgl-dev qt6-translations-l10n
  libicu-dev libarchive-dev libcurl4-openssl-dev libharfbuzz-dev
  fonts-ipafont-gothic fonts-ipafont-mincho fonts-noto-cjk fontconfig
  xvfb xauth poppler-utils ccache python3 python3-icu
  clang libclang-rt-14-dev
  libcups2-dev cups-daemon cups-client cups-ipp-utils cups-filters printer-driver-cups-pdf avahi-daemon dbus
  dpkg-dev fakeroot desktop-file-utils appstream man-db imagemagick
  # Japanese input in the window's fields and the card (Qt talks to it through the input-context
  # plugin that comes with its GUI library)
  ibus ibus-anthy
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "install-deps: installing ${missing[*]}"
$SUDO apt-get update
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
