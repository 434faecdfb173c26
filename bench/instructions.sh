#!/usr/bin/env bash
# Instructions per report, counted by callgrind (stable on a noisy machine where
# seconds are not):
#   - decoding only: SFC_decode_METAR and what it calls, over the real reports of
#     bench_metar (one pass);
#   - the whole command `-id all -pa dec` on the bundled sample hour, from start-up to
#     exit, divided by the reports it prints.
#
#   bench/instructions.sh [BUILD_DIR]      (default build/)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
command -v valgrind >/dev/null || { echo "valgrind is needed" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

collected() {  # callgrind's count of the instructions collected, from its log
  sed -n 's/.*Collected : \([0-9]*\).*/\1/p' "$1"
}

if [ -x "$build/bench_metar" ]; then
  reports=$(($(grep -c . tests/data/metar/awc_metars_sample.txt) - 1))
  valgrind --tool=callgrind --callgrind-out-file="$work/decode.out" \
    --toggle-collect='SFC_decode_METAR*' "$build/bench_metar" \
    --benchmark_filter=BM_DecodeOnly --benchmark_min_time=0.01 >"$work/decode.txt" 2>"$work/decode.log"
  passes=$(awk '/^BM_DecodeOnly/ {print $6}' "$work/decode.txt")
  ir=$(collected "$work/decode.log")
  printf 'decoding only (METAR, %d reports x %d): %d instructions per report\n' \
    "$reports" "$passes" "$((ir / (reports * passes)))"
fi

reports=$(($("$build/sfcparse" -id all -pa pln 20010600 | wc -l) - 2))
valgrind --tool=callgrind --callgrind-out-file="$work/cmd.out" \
  "$build/sfcparse" -id all -pa dec 20010600 >/dev/null 2>"$work/cmd.log"
ir=$(collected "$work/cmd.log")
printf 'whole command, -id all -pa dec (%d reports): %d instructions per report\n' \
  "$reports" "$((ir / reports))"

# Gathering over the whole shipped station database, per input report, against the
# plain run above: the store filled once, one look-up per report, the stations
# decoded and printed afterwards.
valgrind --tool=callgrind --callgrind-out-file="$work/city.out" \
  "$build/sfcparse" -id all -pa dec,city 20010600 >/dev/null 2>"$work/city.log"
city=$(collected "$work/city.log")
printf 'whole command, -id all -pa dec,city (%d reports, whole database): %d instructions per report (%d.%02d times the plain run)\n' \
  "$reports" "$((city / reports))" "$((city / ir))" "$((city * 100 / ir % 100))"

# Converted surface files: the sample hour decoded and written in each form by
# cvt_write, read back and printed in format 2, per report printed.
if [ -x "$build/cvt_write" ] && command -v ncgen >/dev/null; then
  for form in old new station report; do
    "$build/cvt_write" $form 2020010600 share/20010600_sao.wmo > "$work/cvt.$form"
    file="$work/cvt.$form"
    if [ $form = station ] || [ $form = report ]; then ncgen -o "$work/cvt_$form.cdf" "$file"; file="$work/cvt_$form.cdf"; fi
    n=$(($("$build/sfcparse" -id all -if cvt "$file" | wc -l) - 1))
    valgrind --tool=callgrind --callgrind-out-file="$work/cvt.out" \
      "$build/sfcparse" -id all -if cvt "$file" >/dev/null 2>"$work/cvt.log"
    printf 'whole command, converted %s form, -id all -if cvt (%d reports): %d instructions per report\n' \
      "$form" "$n" "$(($(collected "$work/cvt.log") / n))"
  done
fi

# Rows for data tools: CSV and JSON Lines of the whole record with the raw text,
# against format 2 above.
for fmt in pcsv pjson; do
  valgrind --tool=callgrind --callgrind-out-file="$work/$fmt.out" \
    "$build/sfcparse" -id all -pa dec,$fmt 20010600 >/dev/null 2>"$work/$fmt.log"
  n=$(collected "$work/$fmt.log")
  printf 'whole command, -id all -pa dec,%s (%d reports): %d instructions per report (%d.%02d times format 2)\n' \
    "$fmt" "$reports" "$((n / reports))" "$((n / ir))" "$((n * 100 / ir % 100))"
done
