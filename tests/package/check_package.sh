#!/usr/bin/env bash
# Checks the release zip as a user would get it: exactly the nine files,
# Kairon.exe a 32-bit Windows GUI program, kairon-time.exe and
# kairon-report.exe 64-bit console programs, kairon-time32.exe a 32-bit one,
# the text files in CR LF, the checksum file right, and kairon-report.exe
# reading an example log as the native build does (the zip's own under
# 64-bit Wine).
#
#   tests/package/check_package.sh [ZIP]   (default: the one in build/package)
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
zip="${1:-$(ls "$root"/build/package/Kairon-*-win32.zip)}"
passed=0
failed=0
check() {  # check WHAT COMMAND...
  local what="$1"
  shift
  if "$@"; then
    passed=$((passed + 1))
    echo "ok: $what"
  else
    failed=$((failed + 1))
    echo "FAILED: $what"
  fi
}

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
python3 -m zipfile -e "$zip" "$work/unpacked"
cd "$work/unpacked"

entries="$(python3 -c 'import sys, zipfile; print("\n".join(sorted(zipfile.ZipFile(sys.argv[1]).namelist())))' "$zip")"
check "the zip holds exactly the nine files" \
  [ "$entries" = "$(printf '%s\n' Kairon.exe LICENSE.txt README.txt config-example.txt kairon-report.exe kairon-report.md kairon-time.exe kairon-time.md kairon-time32.exe)" ]

# objdump's architecture, and the "Magic" and "Subsystem" lines of a
# program's PE header.
pe_kind() { x86_64-w64-mingw32-objdump -fp "$1" | awk '/^architecture:/ {a = $2} /^Magic/ {m = $3} /^Subsystem/ {s = $3 " " $4} END {print a, m, s}'; }
check "Kairon.exe is a PE32 GUI program" [ "$(pe_kind Kairon.exe)" = "i386, (PE32) (Windows GUI)" ]
check "kairon-time32.exe is a PE32 console program" \
  [ "$(pe_kind kairon-time32.exe)" = "i386, (PE32) (Windows CUI)" ]
for program in kairon-time.exe kairon-report.exe; do
  check "$program is a PE32+ console program" [ "$(pe_kind $program)" = "i386:x86-64, (PE32+) (Windows CUI)" ]
done

check "kairon-time.exe declares per-monitor DPI awareness, asInvoker and Windows 7 to 11" \
  python3 "$root/tests/package/check_manifest.py" kairon-time.exe

crlf_only() { [ -s "$1" ] && ! LC_ALL=C grep -qv $'\r$' "$1"; }
for text in README.txt config-example.txt LICENSE.txt kairon-time.md kairon-report.md; do
  check "$text has CR LF line ends only" crlf_only "$text"
done
check "config-example.txt is a complete unattended config.txt (eleven lines, the last 1)" \
  [ "$(wc -l < config-example.txt)-$(tail -n 1 config-example.txt | tr -d '\r')" = "11-1" ]
version="$(basename "$zip" -win32.zip)"
version="${version#Kairon-}"
check "README.txt names version $version" grep -q "^Kairon $version"$'\r$' README.txt
check "SHA256SUMS matches the zip" \
  bash -c "cd '$(dirname "$zip")' && sha256sum --quiet -c SHA256SUMS"

# The zip's kairon-report.exe against the native build, on the example log.
# Both run in the log's folder and are given its bare name, so each prints
# the same path however its system spells paths. The zip's console programs
# are 64-bit: they run under 64-bit Wine, which starts on every kind of host.
example_dir="$root/report/tests/data"
example=demo.log
native_report="$root/build/native/report/kairon-report"
choice="$(unset KAIRON_WINE_CHOSEN_BITS; KAIRON_WINE_BITS=64 source "$root/scripts/wine-env.sh" &&
  echo "$KAIRON_WINE_OK $KAIRON_WINE_CHOICE")"
read -r wine_ok why <<<"$choice"
bits=64
windows_report="$work/unpacked/kairon-report.exe"
which_report="kairon-report.exe from the zip"
windows_time="$work/unpacked/kairon-time.exe"
which_time="kairon-time.exe from the zip"
if [ "$wine_ok" != 1 ]; then
  echo "skipped: running $which_report, because no Wine starts here: $why"
elif [ ! -x "$native_report" ]; then
  echo "skipped: running $which_report, because the native kairon-report is not built (build the native preset first)"
else
  expected="$(cd "$example_dir" && "$native_report" "$example")"
  actual="$(cd "$example_dir" && KAIRON_WINE_BITS=$bits "$root/scripts/wine-run.sh" \
    "$windows_report" "$example" | tr -d '\r')"
  check "$which_report reads the example log as the native build does" \
    [ "$expected" = "$actual" ]
  if [ "$expected" != "$actual" ]; then
    diff <(echo "$expected") <(echo "$actual") | head -n 20 || true
  fi
fi

# The example config.txt is what Kairon's own writer writes for its settings.
if [ "$wine_ok" != 1 ]; then
  echo "skipped: running $which_time, because no Wine starts here: $why"
else
  (cd "$work" && KAIRON_WINE_BITS=$bits "$root/scripts/wine-run.sh" "$windows_time" \
    --save-config written-config.txt --window Notepad --visible --new-only --runs 3 \
    --log notepad-startup.txt 'C:\Windows\notepad.exe' </dev/null)
  check "config-example.txt is what $which_time --save-config writes for its settings" \
    cmp -s "$work/written-config.txt" "$work/unpacked/config-example.txt"
fi

echo "package: $passed passed, $failed failed"
[ "$failed" = 0 ]
