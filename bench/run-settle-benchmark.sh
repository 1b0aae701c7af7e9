#!/usr/bin/env bash
# kairon-time's --settled, under Wine in a private Xvfb large enough for a
# 1920 x 1080 window: how long after the sample application has drawn its
# content the settled mark comes, launch by launch, with pictures from the
# screen and from the window's own DC, after a blank spell longer than the
# quiet time; and what one capture of a window's pixels costs from the
# screen, the window's DC and PrintWindow. bench/run-benchmark.sh runs it last; alone
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
# The window is shown blank and drawn draw_ms later: a blank spell longer
# than the quiet time, which a blank picture must not end.
draw_ms=400
settled_ms=100
# The captures whose settled marks are measured, and those whose cost is.
settled_sources=(screen window)
capture_sources=(screen window print)
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
echo "   is shown, --settled $settled_ms, per capture; delay = the settled mark - the moment it"
echo "   was drawn; then $captures captures of each window, one after another, on a $screen screen"
printf '  %-30s %8s %7s %7s %7s %7s %7s\n' what count p50 p95 p99 max min
print_row() {
  printf '  %-30s %8s %7s %7s %7s %7s %7s\n' "$1" "$2" "$(field p50_ms "$3")" \
    "$(field p95_ms "$3")" "$(field p99_ms "$3")" "$(field max_ms "$3")" "$(field min_ms "$3")"
}
chart_rows=()
summary=()
verdicts=()
for source in "${capture_sources[@]}"; do
  runs=0
  [[ " ${settled_sources[*]} " == *" $source "* ]] && runs="$launches"
  if ! out="$(wine settle_bench.exe "$(kairon_winpath "$work/sample_app.exe")" "$runs" \
      "$draw_ms" "$settled_ms" "$captures" "$source" | tr -d '\r')"; then
    echo "$out"
    echo "settle benchmark failed ($source)" >&2
    exit 1
  fi
  if [ "$runs" -gt 0 ]; then
    settled="$(grep '^settled ' <<<"$out")"
    print_row "settled after drawn, $source" "$(field launches "$settled")" "$settled"
    p50="$(field p50_ms "$settled")"
    p99="$(field p99_ms "$settled")"
    verdict="$(awk -v a="$p50" -v b="$p99" 'BEGIN {print (a <= 12 && b <= 20) ? "met" : "missed"}')"
    verdicts+=("$source: p50 $p50 ms, p99 $p99 ms ($verdict); settled before it drew: $(field early "$settled") of $launches")
    summary+=("settled $source p50 $p50 ms p99 $p99 ms ($verdict);")
    mv settle-delays.txt "settle-delays-$source.txt"
    chart_rows+=("settled, $source" launch launches 12 "settle-delays-$source.txt")
  fi
  while read -r line; do
    size="$(field width "$line")x$(field height "$line")"
    print_row "capture $size, $source" "$(field captures "$line")" "$line"
    mv "capture-$size.txt" "capture-$size-$source.txt"
    chart_rows+=("capture $size, $source" capture captures - "capture-$size-$source.txt")
    summary+=("capture $size $source $(field p50_ms "$line") ms;")
  done < <(grep '^capture ' <<<"$out")
done
hash="$(grep '^hash ' <<<"$out")"
print_row "hash alone 1920x1080" "$(field hashes "$hash")" "$hash"
echo "  (ms; p50 to p99: $(sed -n 's/^percentiles: //p' <<<"$out"))"
for verdict in "${verdicts[@]}"; do
  echo "  settled mark after the content was drawn, $verdict (goal p50 <= 12, p99 <= 20)"
done
if ! wine settle_chart.exe settle.svg "${chart_rows[@]}"; then
  echo "the chart could not be drawn" >&2
  exit 1
fi
echo "  chart: $work_name/settle.svg in $build_name"
echo "SUMMARY ${summary[*]} (medians of the captures)"
