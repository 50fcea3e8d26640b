#!/usr/bin/env bash
# Seconds and peak memory of quorvel-render exporting the default Marble to every format at
# 4096 x 2836, and the peak memory of a 16384 x 16384 PNG export.
# Usage: bench/export_figures.sh [path to quorvel-render] [output folder]
set -euo pipefail
render="${1:-build/cli/quorvel-render}"
out="${2:-$(mktemp -d)}"
measure() {
    local size="$1" file="$2"
    /usr/bin/time -f "%e %M" -o "$out/time.txt" "$render" -q --size "$size" -o "$out/$file"
    read -r seconds kib < "$out/time.txt"
    printf '%-12s %-14s %6.2f s  peak %5d MB  %9d bytes\n' "$size" "$file" "$seconds" \
        $((kib / 1024)) "$(stat -c %s "$out/$file")"
    rm -f "$out/$file"
}
for ext in tga bmp jpg png ppm; do
    measure 4096x2836 "marble.$ext"
done
measure 16384x16384 big.png
