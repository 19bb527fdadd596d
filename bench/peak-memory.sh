#!/usr/bin/env bash
# Peak resident memory of lunidor-convert on the 4096 x 4096 scene, set
# beside what the conversion must hold: the file, the image and 16 MiB.
#   bench/peak-memory.sh [BUILD_DIR] [BENCH_BUILD_DIR]
set -euo pipefail
build=${1:-build}
bench=${2:-build-bench}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$bench/bench/write-bench-pictures" "$work" >/dev/null
mag="$work/scene-4096x4096-256.mag"

peak_kib() { /usr/bin/time -f '%M' "$@" 2>&1 >/dev/null | tail -n 1; }

file_bytes=$(stat -c %s "$mag")
bmp_kib=$(peak_kib "$build/lunidor-convert" "$mag" -o "$work/out.bmp")
image_bytes=$(stat -c %s "$work/out.bmp")
png_kib=$(peak_kib "$build/lunidor-convert" "$mag" -o "$work/out.png")
budget_kib=$(( (file_bytes + image_bytes) / 1024 + 16 * 1024 ))

printf '%-34s %10s\n' "MAG file" "$((file_bytes / 1024)) KiB"
printf '%-34s %10s\n' "BMP image" "$((image_bytes / 1024)) KiB"
printf '%-34s %10s\n' "budget: file + image + 16 MiB" "$budget_kib KiB"
printf '%-34s %10s\n' "lunidor-convert -o out.bmp, peak" "$bmp_kib KiB"
printf '%-34s %10s\n' "lunidor-convert -o out.png, peak" "$png_kib KiB"
if [ -x "$bench/bench/viewer-load-memory" ]; then
    QT_QPA_PLATFORM=offscreen "$bench/bench/viewer-load-memory" "$mag"
fi
[ "$bmp_kib" -le "$budget_kib" ] && [ "$png_kib" -le "$budget_kib" ]
