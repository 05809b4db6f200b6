#!/usr/bin/env bash
# Builds Tessarin and runs every test: the normal build, then the same tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, the program without windows made into a Debian package (installed and run as
# its service would be in CI, or with TESSARIN_PACKAGE_TEST=1), bounded fuzzing runs of both rollers, the
# server-line parser and a whole scripted session, and a check that the sources are formatted.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/setup.sh
jobs="$(nproc)"
# The sanitizers' and the fuzzers' reports name functions and lines through it.
ASAN_SYMBOLIZER_PATH="$(command -v llvm-symbolizer)"
export ASAN_SYMBOLIZER_PATH

echo "== formatting"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

echo "== build and test"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --parallel "$jobs"
ctest --test-dir build --output-on-failure --parallel "$jobs"

echo "== build and test with sanitizers"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DTESSARIN_SANITIZE=ON -DTESSARIN_BUILD_BENCH=OFF >/dev/null
cmake --build build-sanitize --parallel "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-sanitize --output-on-failure --parallel "$jobs"

echo "== the program without windows, and its Debian package"
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DTESSARIN_WINDOWS=OFF \
    -DTESSARIN_BUILD_TESTS=OFF -DTESSARIN_BUILD_BENCH=OFF >/dev/null
cmake --build build-package --parallel "$jobs" --target tessarin
if ldd build-package/app/tessarin | grep -E 'Widgets|Charts|OpenGL|Qt6Gui|libX11|libxcb|libEGL'; then
    echo "the program without windows links a window library"
    exit 1
fi
rm -f build-package/tessarin_*.deb
(cd build-package && cpack -G DEB >/dev/null)
# Installing the package makes a system user: only in a root made for the run, unless asked for.
if [ -n "${CI:-}" ] || [ -n "${TESSARIN_PACKAGE_TEST:-}" ]; then
    bash tools/packagetest.sh build-package/tessarin_*.deb
else
    echo "made $(ls build-package/tessarin_*.deb); TESSARIN_PACKAGE_TEST=1 installs and runs it here"
fi

echo "== fuzzing (bounded)"
if command -v clang++ >/dev/null; then
    CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSARIN_FUZZ=ON \
        -DTESSARIN_BUILD_TESTS=OFF -DTESSARIN_BUILD_BENCH=OFF >/dev/null
    cmake --build build-fuzz --parallel "$jobs" --target roll_fuzz lineparser_fuzz notation_fuzz session_fuzz
    # Each target (name:longest input:seconds) starts from its seeds in fuzz/corpus, with its dictionary
    # when it has one, and keeps what it finds in a throw-away folder. A session input runs a whole bot, so
    # that target gets longer.
    for target in roll:600:20 lineparser:20000:20 notation:600:20 session:4096:60; do
        IFS=: read -r name length seconds <<<"$target"
        dictionary=()
        if [ -f "fuzz/$name.dict" ]; then
            dictionary=(-dict="fuzz/$name.dict")
        fi
        corpus="$(mktemp -d)"
        "build-fuzz/fuzz/${name}_fuzz" -max_total_time="$seconds" -max_len="$length" -print_final_stats=1 \
            "${dictionary[@]}" "$corpus" "fuzz/corpus/$name"
        rm -rf "$corpus"
    done
else
    echo "clang++ not found: fuzzing skipped"
fi
