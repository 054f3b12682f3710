#!/usr/bin/env bash
# Fuzzes one picture reader, or the whole preparation of slider pictures from one format, with libFuzzer
# for a while (default 10 minutes):
#   scripts/fuzz.sh jpeg|gif|bmp|prepare-jpeg|prepare-gif|prepare-bmp [seconds]
# Builds with clang, AddressSanitizer and UndefinedBehaviorSanitizer in build/fuzz, seeds the run with the
# test fixtures, and reads the shared image corpus (../shared/corpus) as further seeds when it is there.
# New inputs collect in build/fuzz/corpus/<format>; a crash leaves build/fuzz/crash-* to replay with
#   build/fuzz/tests/fuzz/fuzz_<format> build/fuzz/crash-<hash>
set -euo pipefail
cd "$(dirname "$0")/.."

target=${1:?usage: scripts/fuzz.sh jpeg|gif|bmp|prepare-jpeg|prepare-gif|prepare-bmp [seconds]}
seconds=${2:-600}
format=${target#prepare-}
case "$format" in jpeg|gif|bmp) ;; *) echo "unknown target: $target" >&2; exit 2 ;; esac
target=${target/-/_}

scripts/setup-debian.sh --fuzz
cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DVESKARO_FUZZ=ON -DVESKARO_SANITIZE=ON
cmake --build build/fuzz -j2 --target "fuzz_$target" write_fuzz_seeds
build/fuzz/tests/fuzz/write_fuzz_seeds build/fuzz/seeds

mkdir -p "build/fuzz/corpus/$target"
seeds=("build/fuzz/seeds/$format")
shared="../shared/corpus/$format"
[ -d "$shared" ] && seeds+=("$shared")
cd build/fuzz
exec "tests/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    "corpus/$target" "${seeds[@]/#/../../}"
