#!/usr/bin/env bash
# Installs every Debian package Lumora Desktop needs to build, run and test.
# Idempotent: packages already present are skipped, so a second run costs only a dpkg query.
set -euo pipefail

build_packages=(
  build-essential cmake ninja-build ccache pkg-config git
  libicu-dev libxml2-dev libxslt1-dev libcurl4-openssl-dev libgumbo-dev
  libzip-dev libsqlite3-dev libxlsxwriter-dev nlohmann-json3-dev libboost-dev
  xdg-utils
  baresip-core
  libgmime-3.0-dev
  libical-dev
  libsecret-1-dev
  libasound2-dev
  libreoffice-writer-nogui
  python3-uno
  bubblewrap
  chromium
)
test_packages=(
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  nodejs python3 python3-openpyxl libreoffice-calc-nogui
  python3-icalendar python3-vobject
  sip-tester
  poppler-utils
  mpack ripmime
  dbus-daemon gnome-keyring
  radicale python3-caldav
  kamailio
)

want=("${build_packages[@]}")
if [ "${1:-}" = "--with-tests" ]; then
  want+=("${test_packages[@]}")
  # Debian's nodejs comes without npm; a Node.js that already brings its own npm must keep it.
  if ! command -v npm >/dev/null 2>&1; then want+=(npm); fi
fi

missing=()
for pkg in "${want[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$pkg")
  fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then sudo=sudo; else sudo=; fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
