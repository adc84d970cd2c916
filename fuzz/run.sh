#!/bin/sh
# run.sh BUILD [libFuzzer options...]: runs each fuzz target of the build
# folder (configured with -DOXEL_FUZZ=ON) with the language's dictionary on
# its own corpus, BUILD/fuzz-corpus/<target>, which starts from seeds made of
# the golden programs (for fuzz_lsp and fuzz_dap, the message streams in
# fuzz/lsp_seeds and fuzz/dap_seeds)
# and keeps what the fuzzer adds. Findings go to
# BUILD/fuzz-findings/. Examples:
#   fuzz/run.sh build-fuzz -runs=2000               (CI's short pass)
#   fuzz/run.sh build-fuzz -max_total_time=3600     (an hour per target)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=$1
shift
seeds=$build/fuzz-seeds
rm -rf "$seeds"
sh "$here/make_corpus.sh" "$seeds"
mkdir -p "$build/fuzz-findings"
for target in fuzz_compile fuzz_run fuzz_lsp fuzz_dap; do
    corpus=$build/fuzz-corpus/$target
    target_seeds=$seeds
    [ "$target" = fuzz_lsp ] && target_seeds=$here/lsp_seeds
    [ "$target" = fuzz_dap ] && target_seeds=$here/dap_seeds
    mkdir -p "$corpus"
    echo "== $target"
    "$build/fuzz/$target" -dict="$here/oxel.dict" -timeout=30 -print_final_stats=1 \
        -artifact_prefix="$build/fuzz-findings/$target-" "$@" "$corpus" "$target_seeds"
done
