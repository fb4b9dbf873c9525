#!/usr/bin/env bash
# Runs lapdeck-replay ($REPLAY) on every race folder under $1 and compares the four
# result files byte for byte. A folder holds data/, journal.txt, optional `args`
# (extra arguments) and `exit` (expected exit code, 0 when absent), and expected/.
# A folder with a marshal's record holds corrections.txt (replayed with --corrections),
# effective.txt (the journal with the record applied by hand: its plain replay must
# give the same files) and `stderr` (what the tool says, race folder path left out).
set -uo pipefail
races=$1
failed=0
count=0
for race in "$races"/*/; do
    race=${race%/}
    name=$(basename "$race")
    out=$(mktemp -d)
    args=()
    [[ -f $race/args ]] && read -r -a args < "$race/args"
    [[ -f $race/corrections.txt ]] && args+=(--corrections "$race/corrections.txt")
    want_exit=0
    [[ -f $race/exit ]] && want_exit=$(cat "$race/exit")
    "$REPLAY" "${args[@]}" "$race/data" "$race/journal.txt" "$out" 2> "$out.err"
    got_exit=$?
    count=$((count + 1))
    if [[ $got_exit -ne $want_exit ]]; then
        echo "FAIL $name: exit $got_exit, expected $want_exit"; cat "$out.err"; failed=$((failed + 1))
    elif [[ $want_exit -ne 0 ]]; then
        if [[ -n $(ls -A "$out") ]]; then
            echo "FAIL $name: output files written on error"; failed=$((failed + 1))
        elif [[ ! -s $out.err ]]; then
            echo "FAIL $name: no message on stderr"; failed=$((failed + 1))
        fi
    else
        if [[ -f $race/stderr ]] && ! diff <(sed "s|$race/||g" "$out.err") "$race/stderr"; then
            echo "FAIL $name: the messages differ"; failed=$((failed + 1))
        fi
        if [[ -f $race/effective.txt ]]; then
            mkdir "$out/effective"
            "$REPLAY" "$race/data" "$race/effective.txt" "$out/effective" || failed=$((failed + 1))
            for f in laps.lap laps.txt summary.sum summary.txt; do
                if ! cmp -s "$out/effective/$f" "$out/$f"; then
                    echo "FAIL $name: $f differs from the replay of effective.txt"
                    failed=$((failed + 1))
                fi
            done
        fi
        for f in laps.lap laps.txt summary.sum summary.txt; do
            if ! cmp -s "$race/expected/$f" "$out/$f"; then
                echo "FAIL $name: $f differs"
                diff <(cat -A "$race/expected/$f") <(cat -A "$out/$f") | head -20
                failed=$((failed + 1))
            fi
        done
    fi
    rm -rf "$out" "$out.err"
done
echo "$count races, $failed failures"
[[ $failed -eq 0 ]]
