#!/usr/bin/env bash
# Installs every Debian package the build, tests, benchmarks, fuzzers and the
# application need. Safe to run again; works as root or through sudo.
set -euo pipefail

packages=(
  g++ clang cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-pdf-dev qt6-svg-dev qt6-image-formats-plugins
  libqt6svg6 qt6-qpa-plugins
  libtiff-dev zlib1g-dev libx11-dev libyaml-dev rapidjson-dev
  xvfb xauth x11-xkb-utils
  fonts-dejavu-core
  imagemagick poppler-utils libtiff-tools
  libqpdf-dev qpdf img2pdf
  libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  sudo=()
else
  sudo=(sudo)
fi

export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
