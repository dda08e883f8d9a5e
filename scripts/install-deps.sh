#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the Wine runs need.
# Idempotent: does nothing when everything is already there.
set -euo pipefail

PKGS=(
  build-essential cmake ninja-build pkg-config git
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
  libz-mingw-w64-dev zlib1g-dev
  libgtest-dev googletest
  libjpeg62-turbo-dev libjpeg-turbo-progs libpng-dev libturbojpeg0-dev libdeflate-dev
  wine wine64 fonts-wine
  xvfb xauth xdotool x11-utils imagemagick xclip zip unzip
  fonts-ipafont-gothic locales python3 chromium
  clang libclang-rt-14-dev clang-format
)

missing=()
for p in "${PKGS[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine shows Japanese message-box buttons and captions only under a Japanese locale.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$'; then
  $SUDO sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
