#!/usr/bin/env bash
# Builds the libFuzzer targets with the fuzz preset and runs each one for a while, one after the
# other, at the lowest priority so that other work on the machine goes first.
#   fuzz/run.sh [seconds] [target...]
# A target stops after the given seconds or after 10 million executions, whichever comes first
# (`fuzz/run.sh 1800` is a full run). seconds defaults to 60; targets default to all of them (see fuzz/README.md). New inputs go to
# build/fuzz/corpus/<target>; the seeds in fuzz/corpus stay as they are. A finding stops its
# target and leaves a crash-* file in build/fuzz/findings. Each target's figures end up in
# build/fuzz/logs/<target>.log.
set -euo pipefail
cd "$(dirname "$0")/.."

all_targets=(decode_phonebook decode_sms decode_alpha decode_digits card_information
    fcp_template t0_exchange pcsc_answers report_link socket_bus card_image record_file
    text_import paste_fields vcard_import card_backup)

seconds=${1:-60}
[ $# -gt 0 ] && shift
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=("${all_targets[@]}")
fi

cmake --preset fuzz >/dev/null
nice -n 19 cmake --build --preset fuzz --target "${targets[@]/#/fuzz_}"

# Inputs longer than libFuzzer's default of 4096 bytes: a contact record is 4340 bytes and the
# demo card image about 14 kB.
max_len() {
    case "$1" in
        record_file) echo 12000 ;;
        card_image | text_import | vcard_import | card_backup) echo 20000 ;;
        *) echo 4096 ;;
    esac
}

status=0
mkdir -p build/fuzz/findings build/fuzz/logs
for target in "${targets[@]}"; do
    echo "== fuzz_${target}: ${seconds} s"
    mkdir -p "build/fuzz/corpus/${target}"
    nice -n 19 "build/fuzz/fuzz/fuzz_${target}" -max_total_time="${seconds}" -runs=10000000 -print_final_stats=1 \
        -max_len="$(max_len "${target}")" -artifact_prefix=build/fuzz/findings/ \
        "build/fuzz/corpus/${target}" "fuzz/corpus/${target}" \
        2>&1 | tee "build/fuzz/logs/${target}.log" | grep -E "^(stat::number_of_executed_units|==|SUMMARY)|Check" || true
    [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
done
exit "${status}"
