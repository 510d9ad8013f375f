#!/usr/bin/env bash
# Runs one fuzz target under AddressSanitizer and UndefinedBehaviorSanitizer for a given time.
#   fuzz/run.sh TARGET SECONDS        e.g. fuzz/run.sh fuzz_load_picture 600
# Installs what is missing (clang 14 and its runtimes: scripts/install-deps.sh --fuzz), configures
# a clang build with QUILLORA_FUZZ=ON in $QUILLORA_FUZZ_BUILD (default
# build-fuzz beside the source tree), instruments the whole program for coverage, and
# fuzzes from a copy of the seed corpus so the committed corpus is left as it is. Findings
# land in $QUILLORA_FUZZ_BUILD/findings/TARGET/; replay one with the target's _replay program
# or with the fuzz program itself.
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 TARGET SECONDS" >&2
  exit 2
fi
target=$1
seconds=$2
source_dir=$(cd "$(dirname "$0")/.." && pwd)
"$source_dir/scripts/install-deps.sh" --fuzz
build_dir=${QUILLORA_FUZZ_BUILD:-$source_dir/../build-fuzz}
jobs=${QUILLORA_FUZZ_JOBS:-2}
sanitizers="-fsanitize=address,undefined,fuzzer-no-link -fno-omit-frame-pointer -fno-sanitize-recover=undefined"

CC=clang CXX=clang++ cmake -S "$source_dir" -B "$build_dir" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLORA_FUZZ=ON -DQUILLORA_BENCH=OFF \
  -DCMAKE_C_FLAGS="$sanitizers" -DCMAKE_CXX_FLAGS="$sanitizers" >/dev/null
ninja -C "$build_dir" -j"$jobs" "$target"

corpus_name=${target#fuzz_}
work_corpus=$build_dir/corpus/$target
findings=$build_dir/findings/$target
mkdir -p "$work_corpus" "$findings"
if [ -d "$source_dir/fuzz/corpus/$corpus_name" ]; then
  cp -n "$source_dir/fuzz/corpus/$corpus_name"/* "$work_corpus"/ 2>/dev/null || true
fi

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
exec "$build_dir/bin/$target" -max_total_time="$seconds" -rss_limit_mb=2560 -timeout=20 \
  -artifact_prefix="$findings/" -print_final_stats=1 "$work_corpus"
