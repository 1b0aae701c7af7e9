#!/usr/bin/env bash
# Kairon's benchmark, under Wine in a private Xvfb: how much Kairon's
# detection adds to the time an ideal observer sees, what one search pass
# costs, and Kairon's footprint. Prints the details, then one summary line.
#
#   bench/run-benchmark.sh
#
# Environment (all optional):
#   KAIRON_BENCH_BUILD_DIR  Windows build folder to use (default the preset
#                           build this host runs: build/windows, or
#                           build/windows64 where 32-bit programs cannot
#                           start; any other folder is configured with the
#                           MinGW toolchain of that kind)
#   KAIRON_WINE_BITS        32 or 64 forces the kind of build and Wine
#   KAIRON_WINEPREFIX       Wine prefix (default: one per kind in build/)
#   KAIRON_BENCH_ROUNDS     rounds of launches (default 30; each round is
#                           Kairon by window name, reference at the visible
#                           event, Kairon with input idle and visible too,
#                           reference at the window's existence)
#   KAIRON_BENCH_PASSES     search passes of each kind (default 300)
#
# Exit code 0 when every measurement was taken (whether or not the goals
# were met), 1 when one failed. Not a test: the figures depend on the
# machine and on what else it is doing.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"

rounds="${KAIRON_BENCH_ROUNDS:-30}"
passes="${KAIRON_BENCH_PASSES:-300}"
extra_windows=300
delay_ms=100
targets=(Kairon sample_app reference_launcher footprint_launcher search_pass_bench)

# The 32-bit product where this host starts 32-bit programs, else the 64-bit
# build of the same sources (scripts/wine-env.sh decides and says why).
source "$root/scripts/wine-env.sh"
kairon_require_wine
echo "== $KAIRON_WINE_CHOICE"
echo "== building ${targets[*]}"
if [ -z "${KAIRON_BENCH_BUILD_DIR:-}" ]; then
  build="$KAIRON_WINE_BUILD"
  cmake --preset "$KAIRON_WINE_PRESET" >/dev/null
  cmake --build --preset "$KAIRON_WINE_PRESET" -j2 --target "${targets[@]}" | tail -n 2
else
  build="$(mkdir -p "$KAIRON_BENCH_BUILD_DIR" && cd "$KAIRON_BENCH_BUILD_DIR" && pwd)"
  if [ ! -f "$build/CMakeCache.txt" ]; then
    toolchain=mingw-i686.cmake
    [ "$KAIRON_WINE_BITS" = 64 ] && toolchain=mingw-x86_64.cmake
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain" >/dev/null
  fi
  cmake --build "$build" -j2 --target "${targets[@]}" | tail -n 2
fi

work="$build/bench-run"
rm -rf "$work"
mkdir -p "$work"
cp "$build/Kairon.exe" "$build/tools/sample_app.exe" "$build/bench/reference_launcher.exe" \
  "$build/bench/footprint_launcher.exe" "$build/bench/search_pass_bench.exe" "$work/"
cd "$work"

source "$root/scripts/wine-session.sh"

app_path="$(winepath -w "$work/sample_app.exe" 2>/dev/null)"
title="Kairon Bench Sample"
# The same arguments for every launch; the reference launcher adds its own
# --event after them (the sample application sets that event the instant its
# window is visible), and Kairon's launches name an event nobody waits on, so
# that the application does the same work either way. Each kind of launch
# has the application record, into <kind>.samples, its own start and the
# moment its window became visible.
sample_args=(--title "$title" --exit-after 30000)

# Writes an unattended config.txt: one execution, window detection by the
# exact title, closed with WM_CLOSE, new windows only. $1 is line 7 (input
# idle, window name, exact match, visible), $2 the application's record.
write_config() {
  printf '%s\r\n' \
    "$app_path" \
    "--title \"$title\" --exit-after 30000 --record $2 --event KaironBenchUnwatched" \
    'results.txt' \
    "$title" \
    '1' \
    "$delay_ms" \
    "$1" \
    '1 0 0' \
    '0' \
    '1' \
    '1' > config.txt
}

# One unattended Kairon run; appends its seconds to $2 and its peak working
# set to peaks.txt.
kairon_launch() {
  local waits="$1" out="$2" report exit_code peak lines
  write_config "$waits" "${out%.txt}.samples"
  rm -f results.txt
  report="$(wine footprint_launcher.exe Kairon.exe | tr -d '\r')"
  echo "$report" >> footprint.txt
  exit_code="$(sed -n 's/.*exit_code=\([0-9]*\).*/\1/p' <<<"$report")"
  peak="$(sed -n 's/.*peak_working_set=\([0-9]*\).*/\1/p' <<<"$report")"
  if [ "$exit_code" != 0 ] || [ ! -f results.txt ]; then
    echo "Kairon run failed: $report" >&2
    return 1
  fi
  lines="$(tr -d '\r' < results.txt)"
  if [ "$(wc -l <<<"$lines")" != 2 ] || grep -q Failed <<<"$lines"; then
    echo "unexpected results log:" >&2
    echo "$lines" >&2
    return 1
  fi
  tail -n 1 <<<"$lines" >> "$out"
  echo "$peak" >> peaks.txt
  last="$(tail -n 1 <<<"$lines")"
}

# One reference launch; $1 is the file for its seconds, the rest is passed
# to the launcher before the application (--window TITLE or nothing).
reference_launch() {
  local out="$1" seconds
  shift
  seconds="$(wine reference_launcher.exe "$@" sample_app.exe "${sample_args[@]}" \
    --record "${out%.txt}.samples" | tr -d '\r')"
  if ! [[ "$seconds" =~ ^[0-9]+\.[0-9]+$ ]]; then
    echo "reference launch failed: $seconds" >&2
    return 1
  fi
  echo "$seconds" >> "$out"
  last="$seconds"
}

# Median (mean of the middle two for an even count) and 95th percentile
# (nearest rank) of a file of seconds, printed in milliseconds.
median_ms() { sort -g "$1" | awk '{v[NR]=$1} END {m = NR%2 ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2; printf "%.1f", m*1000}'; }
p95_ms() { sort -g "$1" | awk '{v[NR]=$1} END {r = int(0.95*NR); if (r < 0.95*NR) r++; printf "%.1f", v[r]*1000}'; }

echo "== detection: $rounds rounds, each: Kairon by window name, reference (event at visible),"
echo "   Kairon with input idle + window name + visible, reference (window exists, 1 ms polling)"
# The first launches after Wine starts pay for its warm-up; not counted.
kairon_launch '0 1 1 0' warm-up.txt
reference_launch warm-up.txt
rm -f peaks.txt footprint.txt
for round in $(seq "$rounds"); do
  kairon_launch '0 1 1 0' kairon-name.txt; k1="$last"
  reference_launch ref-visible.txt; r1="$last"
  kairon_launch '1 1 1 1' kairon-all.txt; k2="$last"
  reference_launch ref-exists.txt --window "$title"; r2="$last"
  printf '  round %2d: kairon(name) %s  ref(visible) %s  kairon(idle+name+visible) %s  ref(exists) %s s\n' \
    "$round" "$k1" "$r1" "$k2" "$r2"
done

declare -A label=(
  [kairon-name]="Kairon, window name"
  [kairon-all]="Kairon, input idle + window name + visible"
  [ref-visible]="reference, event at visible (ideal observer)"
  [ref-exists]="reference, titled window exists (1 ms polling)"
)
for f in kairon-name kairon-all ref-visible ref-exists; do
  printf '  %-48s %2d launches: median %6s ms  p95 %6s ms\n' "${label[$f]}" \
    "$(wc -l < "$f.txt")" "$(median_ms "$f.txt")" "$(p95_ms "$f.txt")"
done

# Difference of medians and of 95th percentiles, "median +x ms p95 +y ms (met)".
difference() {
  local dmed dp95 verdict
  dmed="$(awk -v a="$(median_ms "$1.txt")" -v b="$(median_ms "$2.txt")" 'BEGIN {printf "%+.1f", a-b}')"
  dp95="$(awk -v a="$(p95_ms "$1.txt")" -v b="$(p95_ms "$2.txt")" 'BEGIN {printf "%+.1f", a-b}')"
  verdict="$(awk -v m="$dmed" -v p="$dp95" 'BEGIN {print (m <= 16 && p <= 22) ? "met" : "missed"}')"
  echo "median $dmed ms p95 $dp95 ms ($verdict)"
}
goals_met=1
summary=()
for pair in "kairon-name ref-visible" "kairon-all ref-visible" "kairon-name ref-exists"; do
  read -r measured reference <<<"$pair"
  result="$(difference "$measured" "$reference")"
  case "$result" in *missed*) goals_met=0 ;; esac
  printf '  %-44s - %-48s %s\n' "${label[$measured]}" "${label[$reference]}" "$result"
  summary+=("$result")
done
echo "  (goal: median difference <= 16 ms, p95 <= 22 ms)"
# The application's own pace under each observer, from its records (the
# counter runs at 10 MHz under Wine): if it is slower under Kairon, that part
# of a difference lies in the surroundings (such as Kairon's dialog losing
# the activation to the new window), not in Kairon's search.
paces=""
for f in kairon-name kairon-all ref-visible ref-exists; do
  awk '$2 == "start" {s[$1] = $3} $2 == "visible" && ($1 in s) {print ($3 - s[$1]) / 1e7}' \
    "$f.samples" > "$f.pace.txt"
  paces="$paces $f $(median_ms "$f.pace.txt") ms,"
done
echo "  the application's own start to visible, median:${paces%,}"

echo "== search pass: $extra_windows extra windows, $passes passes of each kind"
search_out="$(wine search_pass_bench.exe "$extra_windows" "$passes" | tr -d '\r')"
echo "$search_out" | sed 's/^/  /'
overhead="$(sed -n 's/.*overhead_pct=\([-+0-9.]*\).*/\1/p' <<<"$search_out")"
if [ -z "$overhead" ]; then
  echo "search pass benchmark failed" >&2
  exit 1
fi
search_verdict="$(awk -v o="$overhead" 'BEGIN {print (o <= 10) ? "met" : "missed"}')"
[ "$search_verdict" = met ] || goals_met=0
echo "  Kairon's pass against the bare loop: $overhead % (goal <= 10 %: $search_verdict)"

echo "== footprint"
size="$(stat -c %s Kairon.exe)"
peak_max="$(sort -n peaks.txt | tail -n 1)"
peak_median="$(sort -n peaks.txt | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}')"
echo "  Kairon.exe: $size bytes"
echo "  (GetProcessMemoryInfo after exit gave 0 in $(grep -c 'after_exit=0$' footprint.txt) of" \
  "$(wc -l < footprint.txt) runs; the peak is sampled every 100 ms while Kairon runs)"
echo "  peak working set over $(wc -l < peaks.txt) unattended runs: median $((peak_median / 1024)) KiB, largest $((peak_max / 1024)) KiB"

echo "SUMMARY vs visible event: name ${summary[0]}, idle+name+visible ${summary[1]}; name vs window exists ${summary[2]}; search pass $overhead % ($search_verdict); Kairon.exe $size bytes, peak working set $((peak_max / 1024)) KiB; goals $([ "$goals_met" = 1 ] && echo met || echo missed)"
