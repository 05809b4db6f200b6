#!/usr/bin/env bash
# Builds Tessarin and runs every test: the normal build, then the same tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, and a check that the sources are formatted.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/setup.sh
jobs="$(nproc)"

echo "== formatting"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

echo "== build and test"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --parallel "$jobs"
ctest --test-dir build --output-on-failure --parallel "$jobs"

echo "== build and test with sanitizers"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DTESSARIN_SANITIZE=ON >/dev/null
cmake --build build-sanitize --parallel "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-sanitize --output-on-failure --parallel "$jobs"

# The server-line parser under libFuzzer for a bounded time; any crash or broken limit fails the script.
if command -v clang++ >/dev/null; then
    echo "== fuzzing the line parser"
    mkdir -p build-fuzz/corpus
    clang++ -std=c++20 -g -O1 -fPIC -Wall -Wextra -Werror -DQT_NO_CAST_FROM_BYTEARRAY \
        -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -I. \
        $(pkg-config --cflags Qt6Core) tests/fuzz/lineparser_fuzz.cpp irc/message.cpp irc/outgoing.cpp \
        irc/textcodec.cpp $(pkg-config --libs Qt6Core) -o build-fuzz/lineparser_fuzz
    printf ':Bob!~bob@host PRIVMSG #dice :\001VERSION\001' >build-fuzz/corpus/seed-ctcp
    printf ':irc.example.net 353 Tessarin = #dice :@Bob +Ann Kell' >build-fuzz/corpus/seed-names
    printf 'PING :12345' >build-fuzz/corpus/seed-ping
    build-fuzz/lineparser_fuzz -max_total_time=20 -max_len=20000 -print_final_stats=1 build-fuzz/corpus
fi
