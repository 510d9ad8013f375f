#!/usr/bin/env bash
# Installs what is missing, builds Quillora and runs it. Arguments go to the program.
# With a display the main window opens; without one (and without arguments) the headless demo
# searches the sample photos and prints what the main window lists.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j "$(nproc)" --target quillora

if [ $# -eq 0 ] && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  samples=$(pwd)/samples
  export QUILLORA_DRIVES="C=/|fixed|System;D=$samples/photos|fixed|Samples"
  export QT_QPA_PLATFORM=offscreen
  exec ./build/bin/quillora --script "$samples/demo.script"
fi
exec ./build/bin/quillora "$@"
