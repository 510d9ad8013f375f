#!/usr/bin/env bash
# Installs every Debian package that building, testing and running Quillora needs.
#   scripts/install-deps.sh           what the build, the tests, the benchmarks and a run need
#   scripts/install-deps.sh --fuzz    the same and clang with its sanitizer and libFuzzer runtimes,
#                                     which only fuzz/run.sh needs (the tests build with g++)
# Idempotent: when every package is already present it only checks and returns.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-translations-l10n
  libcups2-dev cups cups-ipp-utils dbus
  libjpeg62-turbo-dev libjpeg-turbo-progs libpng-dev libtiff-dev libgif-dev
  fonts-noto-cjk fonts-arphic-uming fonts-arphic-ukai fontconfig
  xvfb xauth imagemagick poppler-utils
  librsvg2-bin desktop-file-utils appstream
  libgtest-dev libgmock-dev libbenchmark-dev
  # the album benchmark's limit program (../shared/bench-data/build_limit.sh)
  gcc python3 libdeflate-dev zlib1g-dev fonts-dejavu-core
)

case "${1:-}" in
  "") ;;
  --fuzz)
    # Debian 12's clang is clang 14; libFuzzer and the sanitizer runtimes come with its runtime
    # library package.
    packages+=(clang libclang-rt-14-dev)
    ;;
  *)
    echo "usage: $0 [--fuzz]" >&2
    exit 2
    ;;
esac

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi

echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
