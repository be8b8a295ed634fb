#!/usr/bin/env bash
# Builds everything and runs every test: the engine and window tests (the
# window under Xvfb), the engine tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer, and a short run of each fuzzer.
# Installs the Debian packages it needs when they are missing.
#   ./test.sh            FUZZ_SECONDS=20 by default
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/scripts-common.sh"
cd "$here"

morvane_install_packages "${MORVANE_BUILD_PACKAGES[@]}" "${MORVANE_TEST_PACKAGES[@]}"
jobs="$(nproc)"
fuzz_seconds="${FUZZ_SECONDS:-20}"

echo "== Formatting (clang-format, the style of .clang-format)"
clang-format --dry-run -Werror $(git ls-files '*.cpp' '*.h') \
    || { echo "unformatted sources: run clang-format -i \$(git ls-files '*.cpp' '*.h')" >&2; exit 1; }

echo "== Build and test"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORVANE_WERROR=ON >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

echo "== Engine tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMORVANE_GUI=OFF -DMORVANE_BENCH=OFF \
      -DMORVANE_SANITIZE=ON -DMORVANE_WERROR=ON >/dev/null
cmake --build build/sanitize -j "$jobs" --target engine_tests
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    build/sanitize/tests/engine_tests --gtest_brief=1

echo "== Fuzzing, ${fuzz_seconds}s a target"
CXX="$MORVANE_CLANGXX" cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORVANE_GUI=OFF \
      -DMORVANE_TESTS=OFF -DMORVANE_BENCH=OFF -DMORVANE_FUZZ=ON -DMORVANE_WERROR=ON >/dev/null
cmake --build build/fuzz -j "$jobs" --target fuzz_ini fuzz_scan fuzz_opcode_json fuzz_mode_xml fuzz_catalog
for target in fuzz_ini fuzz_scan fuzz_opcode_json fuzz_mode_xml fuzz_catalog; do
    work="build/fuzz/corpus-$target"
    mkdir -p "$work"
    build/fuzz/fuzz/$target -max_total_time="$fuzz_seconds" -print_final_stats=0 -artifact_prefix=build/fuzz/ \
        "$work" "fuzz/corpus/$target" 2>build/fuzz/$target.log \
        || { tail -n 40 build/fuzz/$target.log; echo "fuzzer $target found a fault" >&2; exit 1; }
    grep -E '^Done' build/fuzz/$target.log | tail -n 1 || true
done

echo "== Screenshots in build/screenshots/"
ls build/screenshots
echo "all tests passed"
