#!/usr/bin/env bash
# Installs what is missing, builds Quillora and runs it. Arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j "$(nproc)" --target quillora
exec ./build/bin/quillora "$@"
