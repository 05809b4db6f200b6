#!/usr/bin/env bash
# Builds Tessarin and runs its benchmark suite: both rollers, the server-line parser and the message
# pipeline in process, then end to end through a real ngircd on loopback, and the bot's memory. Prints
# each program's table, then all figures as one JSON line.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSARIN_BUILD_BENCH=ON >/dev/null
cmake --build build --parallel "$(nproc)" --target dice_bench notation_bench parser_bench pipeline_bench e2e_bench

figures="$(mktemp)"
trap 'rm -f "$figures"' EXIT
for program in dice_bench notation_bench parser_bench pipeline_bench; do
    echo "== $program"
    "build/bench/$program" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true | tee -a "$figures"
done
echo "== end to end through ngircd, and memory"
build/bench/e2e_bench | tee -a "$figures"

# One JSON object of every program's figures.
grep '^figures: ' "$figures" | sed -e 's/^figures: {//' -e 's/}$//' | paste -sd, - | sed -e 's/^/{/' -e 's/$/}/'
