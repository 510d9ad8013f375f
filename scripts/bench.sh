#!/usr/bin/env bash
# Builds the program and the benchmarks and runs them on the benchmark data set.
#
#   ./scripts/bench.sh [DATA] [album|preview|search|memory|picture|encoding|list|printer|all ...]
#
# DATA is the folder ../shared/bench-data/gen_data.sh fills (default: bench-data in the system
# temp folder, or $QUILLORA_BENCH_DATA); it is made when it is missing or incomplete. Without names
# the album, preview and search benchmarks run. Exit code non-zero when a benchmark fails (the
# album benchmark fails on wrong pages or a failed job).
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh

data=${QUILLORA_BENCH_DATA:-$(dirname "$(mktemp -u)")/bench-data}
# The first word is the data folder unless it names a benchmark (the folder may not exist yet).
case ${1:-} in
  ''|album|preview|search|memory|picture|encoding|list|printer|all) ;;
  *) data=$1; shift ;;
esac
names=("$@")
[ ${#names[@]} -gt 0 ] || names=(album preview search)
[ "${names[*]}" != all ] || names=(album preview search memory picture encoding list printer)

# Counted without ls, whose failure on a folder not made yet would end the script under pipefail.
photos=0
[ -d "$data/large" ] && photos=$(find "$data/large" -maxdepth 1 -name '*.jpg' | wc -l)
tree_files=0
[ -d "$data/tree" ] && tree_files=$(find "$data/tree" -type f | wc -l)
if [ "$photos" -lt 100 ] || [ "$tree_files" -lt 100000 ]; then
  echo "Making the benchmark data in $data (a few minutes)"
  [ "$tree_files" -ge 100000 ] || [ ! -d "$data/tree" ] || rm -rf "$data/tree"
  ../shared/bench-data/gen_data.sh "$data"
fi

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S . -B build -G Ninja "${launcher[@]}" >/dev/null
targets=(quillora)
for name in "${names[@]}"; do
  case $name in
    album) targets+=(album_bench) ;;
    preview) targets+=(preview_bench) ;;
    search) targets+=(search_bench) ;;
    memory) targets+=(batch_memory_bench) ;;
    picture) targets+=(picture_bench) ;;
    encoding) targets+=(page_encoding_bench) ;;
    list) targets+=(list_view_bench) ;;
    printer) targets+=(printer_bench) ;;
    *) echo "unknown benchmark: $name" >&2; exit 2 ;;
  esac
done
cmake --build build -j "$(nproc)" --target "${targets[@]}"
# The album benchmark sets the program beside the C program that marks the machine's limit on
# the same job.
limit=()
if [[ " ${names[*]} " == *" album "* ]]; then
  echo "Building the limit program into build/sheet-limit"
  ../shared/bench-data/build_limit.sh build/sheet-limit >/dev/null
  limit=(--limit build/sheet-limit)
fi

export QT_QPA_PLATFORM=offscreen QUILLORA_BENCH_DATA="$data"
XDG_RUNTIME_DIR=$(mktemp -d)
export XDG_RUNTIME_DIR
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
status=0
for name in "${names[@]}"; do
  echo "== $name"
  case $name in
    album) build/bin/album_bench "$data" "${limit[@]}" || status=1 ;;
    preview) build/bin/preview_bench "$data/large" --benchmark_repetitions=3 \
               --benchmark_report_aggregates_only=true || status=1 ;;
    search) build/bin/search_bench "$data/tree" || status=1 ;;
    memory) build/bin/batch_memory_bench "$data" || status=1 ;;
    picture) build/bin/picture_bench || status=1 ;;
    encoding) build/bin/page_encoding_bench || status=1 ;;
    list) build/bin/list_view_bench || status=1 ;;
    printer) build/bin/printer_bench "$data" || status=1 ;;
  esac
done
exit $status
