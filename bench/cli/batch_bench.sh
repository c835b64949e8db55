#!/bin/sh
# Batch benchmark of corvanel-cli: 8 copies of a 3-minute stereo MP3, converted at -j 1 and
# at -j 2 with the default settings, printing each file's and the batch's speed as a
# multiple of real time.
#
# Usage: batch_bench.sh PATH/TO/corvanel-cli [FORMAT] [COPIES]
#   FORMAT: output extension (default wav); COPIES: number of files (default 8).
set -eu
cli=${1:?usage: batch_bench.sh PATH/TO/corvanel-cli [FORMAT] [COPIES]}
format=${2:-wav}
copies=${3:-8}
work=$(mktemp -d "${TMPDIR:-/tmp}/corvanel_cli_bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

# Three minutes of a centred "voice" (a gliding tone with vibrato) over a wide accompaniment
# (different tones left and right, pink noise), encoded as a 44.1 kHz stereo MP3.
sox -n -r 44100 -b 16 -c 2 "$work/voice.wav" synth 180 sine 300-600 vol 0.3
sox -n -r 44100 -b 16 -c 2 "$work/band.wav" synth 180 sine 110 pinknoise vol 0.25
sox -m "$work/band.wav" "$work/voice.wav" "$work/mix.wav"
lame --silent -V 2 "$work/mix.wav" "$work/song.mp3"
i=1
while [ "$i" -le "$copies" ]; do
    cp "$work/song.mp3" "$work/song$i.mp3"
    i=$((i + 1))
done

echo "corvanel-cli batch: $copies x 3-minute MP3 -> $format, $(nproc) cores"
for jobs in 1 2; do
    out="$work/out$jobs"
    start=$(date +%s.%N)
    "$cli" -j "$jobs" -f "$format" -d "$out" "$work"/song[0-9]*.mp3 2>"$work/log$jobs.txt" >/dev/null
    end=$(date +%s.%N)
    echo
    echo "-j $jobs:"
    # Lines of finished files: "written  IN -> OUT (AUDIO s in SECONDS s, Nx real time)".
    sed -n 's/^written  .*\/\(song[0-9]*\.mp3\) -> .*(\(.*\))$/  \1: \2/p' "$work/log$jobs.txt"
    grep '^[0-9]* files:' "$work/log$jobs.txt" | sed 's/^/  /'
    awk -v s="$start" -v e="$end" -v n="$copies" \
        'BEGIN { printf "  wall clock %.1f s for %d x 180 s: %.1fx real time in total\n", e - s, n, n * 180 / (e - s) }'
done
cmp -s "$work/out1/song1_vr.$format" "$work/out2/song1_vr.$format" &&
    echo "outputs of -j 1 and -j 2 are byte-identical" ||
    echo "outputs of -j 1 and -j 2 DIFFER"
