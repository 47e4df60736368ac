#!/usr/bin/env bash
# Installs every Debian package Kalmirov needs to build, run and test, and only those missing.
# Safe to run again; works as root or through sudo.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config ninja-build git ccache
  libglfw3-dev libgl-dev libglu1-mesa-dev libgl1-mesa-dri
  xvfb xauth
  libode-dev
  libsdl2-dev libopenmpt-dev
  qt6-base-dev
  libcurl4-openssl-dev
  libcpp-httplib-dev libsqlite3-dev
  # kalscores' PostgreSQL store: libpq to build it, the server and pg_virtualenv for its tests (the
  # tests make a throwaway cluster of their own; nothing starts PostgreSQL as a service).
  libpq-dev postgresql postgresql-common
  chromium curl
  libfreetype-dev fonts-dejavu-core
  libpng-dev zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  # The optional libFuzzer build of the fuzz targets (-DKAL_LIBFUZZER=ON with clang).
  clang libclang-rt-14-dev
  # The Debian packages (CPack, scripts/package.sh) and their checks: dpkg-shlibdeps finds the
  # libraries' packages, lintian and appstreamcli check what is built.
  dpkg-dev file lintian appstream
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  SUDO=()
elif command -v sudo >/dev/null 2>&1; then
  SUDO=(sudo)
else
  echo "setup: these packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
  exit 1
fi

echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -qq
"${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
