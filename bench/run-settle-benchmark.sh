#!/usr/bin/env bash
# kairon-time's --settled, under Wine in a private Xvfb large enough for a
# 1920 x 1080 window: how long after the sample application has drawn its
# content the settled mark comes, launch by launch, and what one capture of
# a window's pixels costs. bench/run-benchmark.sh runs it last; alone
# (about 10 minutes here):
#
#   bash bench/run-settle-benchmark.sh
#
# Environment (all optional): KAIRON_BENCH_BUILD_DIR, KAIRON_WINE_BITS and
# KAIRON_WINEPREFIX as for bench/run-benchmark.sh (a build folder given
# must be configured already); KAIRON_BENCH_SETTLE_LAUNCHES, the launches
# (default 150); KAIRON_BENCH_CAPTURES, the captures timed of each window
# (default 200).
#
# Exit code 0 when every measurement was taken (whether or not the goals
# were met), 1 when one failed.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"

launches="${KAIRON_BENCH_SETTLE_LAUNCHES:-150}"
captures="${KAIRON_BENCH_CAPTURES:-200}"
# The window is shown blank and drawn draw_ms later; the quiet time must
# outlast that blank spell, or the blank would count as settled.
draw_ms=60
settled_ms=100
screen=2048x1536
targets=(sample_app settle_bench settle_chart)

source "$root/scripts/wine-env.sh"
kairon_require_wine
if [ -z "${KAIRON_BENCH_BUILD_DIR:-}" ]; then
  build="$KAIRON_WINE_BUILD"
  cmake --preset "$KAIRON_WINE_PRESET" >/dev/null
  cmake --build --preset "$KAIRON_WINE_PRESET" -j2 --target "${targets[@]}" | tail -n 1
else
  build="$(cd "$KAIRON_BENCH_BUILD_DIR" && pwd)"
  cmake --build "$build" -j2 --target "${targets[@]}" | tail -n 1
fi
build_name="$(realpath --relative-to="$root" "$build")"
work_name=bench-run/settle
work="$build/$work_name"
rm -rf "$work"
mkdir -p "$work"
cp "$build/tools/sample_app.exe" "$build/bench/settle_bench.exe" "$build/bench/settle_chart.exe" \
  "$work/"
cd "$work"

kairon_session_begin "$screen"

field() { sed -n "s/.* $1=\([-+0-9.]*\).*/\1/p" <<<"$2"; }

echo "== settled: $launches launches of the sample application drawn ${draw_ms} ms after it"
echo "   is shown, --settled $settled_ms; delay = the settled mark - the moment it was drawn;"
echo "   then $captures captures of each window, one after another, on a $screen screen"
if ! out="$(wine settle_bench.exe "$(kairon_winpath "$work/sample_app.exe")" "$launches" \
    "$draw_ms" "$settled_ms" "$captures" | tr -d '\r')"; then
  echo "$out"
  echo "settle benchmark failed" >&2
  exit 1
fi
settled="$(grep '^settled ' <<<"$out")"
printf '  %-22s %8s %7s %7s %7s %7s %7s\n' what count p50 p95 p99 max min
print_row() {
  printf '  %-22s %8s %7s %7s %7s %7s %7s\n' "$1" "$2" "$(field p50_ms "$3")" \
    "$(field p95_ms "$3")" "$(field p99_ms "$3")" "$(field max_ms "$3")" "$(field min_ms "$3")"
}
print_row "settled after drawn" "$(field launches "$settled")" "$settled"
while read -r line; do
  print_row "capture $(field width "$line")x$(field height "$line")" \
    "$(field captures "$line")" "$line"
done < <(grep '^capture ' <<<"$out")
hash="$(grep '^hash ' <<<"$out")"
print_row "hash alone 1920x1080" "$(field hashes "$hash")" "$hash"
echo "  (ms; p50 to p99: $(sed -n 's/^percentiles: //p' <<<"$out"))"
echo "  settled on the blank window, before it drew: $(field early "$settled") of $launches launches"

p50="$(field p50_ms "$settled")"
p99="$(field p99_ms "$settled")"
verdict="$(awk -v a="$p50" -v b="$p99" 'BEGIN {print (a <= 12 && b <= 20) ? "met" : "missed"}')"
echo "  settled mark after the content was drawn: p50 $p50 ms, p99 $p99 ms" \
  "(goal p50 <= 12, p99 <= 20: $verdict)"
chart_rows=("settled after drawn" launch launches 12 settle-delays.txt)
while read -r line; do
  size="$(field width "$line")x$(field height "$line")"
  chart_rows+=("capture $size" capture captures - "capture-$size.txt")
done < <(grep '^capture ' <<<"$out")
if ! wine settle_chart.exe settle.svg "${chart_rows[@]}"; then
  echo "the chart could not be drawn" >&2
  exit 1
fi
echo "  chart: $work_name/settle.svg in $build_name"
echo "SUMMARY settled p50 $p50 ms p99 $p99 ms ($verdict); one capture:" \
  "$(grep '^capture ' <<<"$out" | while read -r line; do
       printf '%sx%s %s ms, ' "$(field width "$line")" "$(field height "$line")" \
         "$(field p50_ms "$line")"; done | sed 's/, $//') (medians)"
