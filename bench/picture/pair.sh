#!/usr/bin/env bash
# Two builds of bench_picture against each other on Rescale of the sizes the disc
# targets need, for a change too small for one run to show: the two run in turn
# for ROUNDS rounds, and each line gives the shortest of 7 repetitions per size,
# which the other load of a shared machine lengthens least.
# Usage: bench/picture/pair.sh FIRST_BIN SECOND_BIN   (ROUNDS may be set; default 3)
set -euo pipefail
first=${1:?usage: pair.sh FIRST_BIN SECOND_BIN}
second=${2:?usage: pair.sh FIRST_BIN SECOND_BIN}
rounds=${ROUNDS:-3}

echo "ms per rescale: 640x480>352x240 640x480>426x480 720x576>352x288 720x576>480x576 1280x720>720x405 1280x720>480x270 1920x1080>720x405 640x480>720x576 1280x720>352x216"
for ((round = 0; round < rounds; ++round)); do
    for bin in "$first" "$second"; do
        "$bin" --benchmark_filter='DiscforgeRescale/[0-9]+$' --benchmark_repetitions=7 --benchmark_format=csv \
            2> /dev/null |
            tr -d '"' |
            awk -F, -v label="$([ "$bin" = "$first" ] && echo first || echo second)" '
                NR > 1 && $1 !~ /_(mean|median|stddev|cv)$/ {
                    split($1, part, "/"); size = part[2] + 0
                    if (!(size in least) || $3 < least[size]) least[size] = $3
                }
                END { printf "%-6s", label; for (size = 0; size in least; ++size) printf " %.3f", least[size]; print "" }'
    done
done
