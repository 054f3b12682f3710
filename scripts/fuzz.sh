#!/usr/bin/env bash
# Fuzzes one picture reader with libFuzzer for a while (default 10 minutes):
#   scripts/fuzz.sh jpeg|gif|bmp [seconds]
# Builds with clang, AddressSanitizer and UndefinedBehaviorSanitizer in build/fuzz, seeds the run with the
# test fixtures, and reads the shared image corpus (../shared/corpus) as further seeds when it is there.
# New inputs collect in build/fuzz/corpus/<format>; a crash leaves build/fuzz/crash-* to replay with
#   build/fuzz/tests/fuzz/fuzz_<format> build/fuzz/crash-<hash>
set -euo pipefail
cd "$(dirname "$0")/.."

format=${1:?usage: scripts/fuzz.sh jpeg|gif|bmp [seconds]}
seconds=${2:-600}
case "$format" in jpeg|gif|bmp) ;; *) echo "unknown format: $format" >&2; exit 2 ;; esac

scripts/setup-debian.sh --fuzz
cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DVESKARO_FUZZ=ON -DVESKARO_SANITIZE=ON
cmake --build build/fuzz -j2 --target "fuzz_$format" write_fuzz_seeds
build/fuzz/tests/fuzz/write_fuzz_seeds build/fuzz/seeds

mkdir -p "build/fuzz/corpus/$format"
seeds=("build/fuzz/seeds/$format")
shared="../shared/corpus/$format"
[ -d "$shared" ] && seeds+=("$shared")
cd build/fuzz
exec "tests/fuzz/fuzz_$format" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    "corpus/$format" "${seeds[@]/#/../../}"
