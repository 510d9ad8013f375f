#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
# QUILLORA_SANITIZE=1 builds with AddressSanitizer and UndefinedBehaviorSanitizer in build-asan/.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh

build=build
sanitize=OFF
if [ "${QUILLORA_SANITIZE:-0}" = 1 ]; then
  build=build-asan
  sanitize=ON
fi

cmake -S . -B "$build" -G Ninja -DQUILLORA_SANITIZE=$sanitize >/dev/null
cmake --build "$build" -j "$(nproc)"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
