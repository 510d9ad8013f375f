#!/usr/bin/env bash
# Installs what is missing, builds Quillora and runs it. Arguments go to the program.
# With a display the main window opens; without one (and without arguments) the headless demo
# prints the sample photos as an album: PNG page files and PDF documents in a fresh folder,
# whose place it prints at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j "$(nproc)" --target quillora

if [ $# -eq 0 ] && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  samples=$(pwd)/samples
  out=$(mktemp -d "${TMPDIR:-/tmp}/quillora-demo.XXXXXX")
  mkdir -p "$out/pages" "$out/home/Documents" "$out/home/Desktop"
  # Drive E: is the demo's own folder; the PDF printer writes below the documents folder of the
  # demo's home, so nothing lands among the user's own files.
  export QUILLORA_DRIVES="C=/|fixed|System;D=$samples/photos|fixed|Samples;E=$out|fixed|Demo"
  export HOME="$out/home"
  export QT_QPA_PLATFORM=offscreen
  status=0
  ./build/bin/quillora --script "$samples/demo.script" || status=$?
  echo
  echo "Page files (PNG) in $out/pages:"
  find "$out/pages" -type f | sort | sed 's/^/  /'
  echo "PDF documents of the built-in PDF printer:"
  find "$out/home" -type f -name '*.pdf' | sort | sed 's/^/  /'
  exit "$status"
fi
exec ./build/bin/quillora "$@"
