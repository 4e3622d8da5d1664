#!/usr/bin/env bash
# Builds the libFuzzer targets with the fuzz preset and runs each one for a while.
#   fuzz/run.sh [seconds] [target...]
# seconds defaults to 60; targets default to all five (decode_phonebook decode_sms decode_alpha
# decode_digits card_information). New inputs go to build/fuzz/corpus/<target>; the seeds in fuzz/corpus stay as
# they are. A finding stops its target and leaves a crash-* file in build/fuzz/findings.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
[ $# -gt 0 ] && shift
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(decode_phonebook decode_sms decode_alpha decode_digits card_information)
fi

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "${targets[@]/#/fuzz_}"

status=0
for target in "${targets[@]}"; do
    echo "== fuzz_${target}: ${seconds} s"
    mkdir -p "build/fuzz/corpus/${target}" build/fuzz/findings
    "build/fuzz/fuzz/fuzz_${target}" -max_total_time="${seconds}" -print_final_stats=1 \
        -artifact_prefix=build/fuzz/findings/ \
        "build/fuzz/corpus/${target}" "fuzz/corpus/${target}" || status=$?
done
exit "${status}"
