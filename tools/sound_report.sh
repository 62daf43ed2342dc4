#!/bin/sh
# Loudness and length of each game sound, as sox measures them, so the set
# can be kept even: peaks near -3 dBFS and similar RMS for the longer sounds.
cd "$(dirname "$0")/../resources/sounds" || exit 1
printf '%-8s %-22s %10s %10s %10s %8s\n' sound format peak rms rms_dB seconds
for name in Start Select Move Bam Out Wow; do
    f="$name.wav"
    if [ ! -f "$f" ]; then
        echo "$f: missing"
        continue
    fi
    fmt="$(soxi -b "$f")bit/$(soxi -c "$f")ch/$(soxi -r "$f")Hz"
    sox "$f" -n stat 2>&1 | awk -v n="$name" -v fmt="$fmt" '
        /^Length/            { len = $3 }
        /^Maximum amplitude/ { mx = $3 }
        /^Minimum amplitude/ { mn = $3 }
        /^RMS     amplitude/ { rms = $3 }
        END {
            pk = (mx > -mn) ? mx : -mn
            db = (rms > 0) ? 20 * log(rms) / log(10) : -999
            printf "%-8s %-22s %10.4f %10.4f %10.1f %8.3f\n", n, fmt, pk, rms, db, len
        }'
done
