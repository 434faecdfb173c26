#!/usr/bin/env bash
# The speed of the main job, on one core: reports per second and MB per second for
# cutting only, cutting and decoding, and the whole command per line format.
#
#   bench/run.sh [BUILD_DIR]      (default build/, built with the default RelWithDebInfo)
#
# The input is the bundled sample hour (share/20010600_sao.wmo, real reports) repeated
# five times: about 105,000 reports, 8 MB. Each command runs three times on core 0 and
# the best time counts; output goes to /dev/null.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
sfc=$build/sfcparse
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for i in 1 2 3 4 5; do cat share/20010600_sao.wmo; done > "$work/big.wmo"
bytes=$(stat -c %s "$work/big.wmo")
# One line per report with -pa pln, after the date line and its blank line.
reports=$(( $($sfc -id all -pa pln "$work/big.wmo" | wc -l) - 2 ))
pin=""; command -v taskset >/dev/null && pin="taskset -c 0"

best() {  # best wall time in seconds of three runs of "$@"
  local best=999999 t
  for _ in 1 2 3; do
    local s=$(date +%s.%N)
    $pin "$@" > /dev/null
    local e=$(date +%s.%N)
    t=$(echo "$e - $s" | bc -l)
    if (( $(echo "$t < $best" | bc -l) )); then best=$t; fi
  done
  echo "$best"
}
row() {  # label seconds
  printf '%-34s %9.0f reports/s %8.1f MB/s  (%.3f s)\n' "$1" \
    "$(echo "$reports / $2" | bc -l)" "$(echo "$bytes / 1000000 / $2" | bc -l)" "$2"
}

echo "input: $reports reports, $bytes bytes ($(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'))"
row "raw text, squeezed (-pa pln)" "$(best $sfc -id all -pa pln "$work/big.wmo")"
row "raw text, tidied" "$(best $sfc -id all "$work/big.wmo")"
# The same hours gzip-compressed (read through zlib): the cost of decompression.
gzip -c "$work/big.wmo" > "$work/packed.wmo.gz"
row "gzip, raw text (-pa pln)" "$(best $sfc -id all -pa pln "$work/packed.wmo.gz")"
row "gzip, decoded (-pa dec)" "$(best $sfc -id all -pa dec "$work/packed.wmo.gz")"
for fmt in plns pln pfull psyn psimp; do
  row "decoded, -pa dec,$fmt" "$(best $sfc -id all -pa dec,$fmt "$work/big.wmo")"
done
# Rows for data tools (the whole record with the raw text) against format 2, run in
# turns so that a busy machine slows all three alike: best of five turns each.
declare -A turn_best=([pln]=999999 [pcsv]=999999 [pjson]=999999)
for _ in 1 2 3 4 5; do
  for fmt in pln pcsv pjson; do
    s=$(date +%s.%N)
    $pin $sfc -id all -pa dec,$fmt "$work/big.wmo" > /dev/null
    e=$(date +%s.%N)
    t=$(echo "$e - $s" | bc -l)
    if (( $(echo "$t < ${turn_best[$fmt]}" | bc -l) )); then turn_best[$fmt]=$t; fi
  done
done
for fmt in pcsv pjson; do
  row "decoded, -pa dec,$fmt" "${turn_best[$fmt]}"
  printf '%-34s %9.2f times format 2 (%.3f s in the same turns)\n' "" \
    "$(echo "${turn_best[$fmt]} / ${turn_best[pln]}" | bc -l)" "${turn_best[pln]}"
done
# Format 6: the "std" list of the shipped variable file (14 columns, report units),
# and the "metric" list (11 columns in 6 unit conversions of the units file).
for list in std metric; do
  row "decoded, -pa dec,pvar -va $list" "$(best $sfc -id all -pa dec,pvar -va $list "$work/big.wmo")"
done
# A long station list (1,000 names): input reports per second.
row "decoded, 1,000 named stations" \
  "$(best $sfc -id "$(cat tests/data/select/many_ids.txt)" -pa dec "$work/big.wmo")"

# Gathering mode over the whole shipped station database (9,289 stations): one hash
# look-up per report, the store filled once; against the plain decoded run above.
row "gathered, whole database (dec,city)" "$(best $sfc -id all -pa dec,city "$work/big.wmo")"
row "gathered, one state (ST=CO dec,city)" "$(best $sfc -id ST=CO -pa dec,city "$work/big.wmo")"

# Converted surface files: the same five hours decoded and written in each form by
# cvt_write (about 92,500 reports: NIL reports are not written), read back and printed
# in format 2; then 10 named stations out of the new text form, which reads each
# record's identifier once and the whole record only for the stations asked for (a
# single pass: the record read last is kept, so reading it whole needs no going back).
if [ -x "$build/cvt_write" ] && command -v ncgen >/dev/null; then
  for form in old new; do "$build/cvt_write" $form 2020010600 "$work/big.wmo" > "$work/cvt_$form.sfc"; done
  for form in station report; do
    "$build/cvt_write" $form 2020010600 "$work/big.wmo" > "$work/cvt_$form.cdl"
    ncgen -o "$work/cvt_$form.cdf" "$work/cvt_$form.cdl"
  done
  cvt_reports=$(( $(wc -l < "$work/cvt_new.sfc") - 2 ))
  row_n() {  # label seconds count
    printf '%-34s %9.0f reports/s  (%.3f s, %d reports)\n' "$1" "$(echo "$3 / $2" | bc -l)" "$2" "$3"
  }
  row_n "converted, old text form (cvt)" "$(best $sfc -id all -if cvt "$work/cvt_old.sfc")" "$cvt_reports"
  row_n "converted, new text form (cvt)" "$(best $sfc -id all -if cvt "$work/cvt_new.sfc")" "$cvt_reports"
  row_n "converted, netCDF station form" "$(best $sfc -id all -if cvt "$work/cvt_station.cdf")" "$cvt_reports"
  row_n "converted, netCDF report form" "$(best $sfc -id all -if cvt "$work/cvt_report.cdf")" "$cvt_reports"
  ten=KDEN,KORD,KJFK,KLAX,KSEA,KATL,KDFW,KMSP,KBOS,CYHZ
  row_n "converted, new text, 10 stations" "$(best $sfc -id $ten -if cvt "$work/cvt_new.sfc")" "$cvt_reports"
  row_n "converted, report form, 10 stations" "$(best $sfc -id $ten -if cvt "$work/cvt_report.cdf")" "$cvt_reports"
fi

# The station-model map of the "us" region for the sample hour: one SVG document of
# the 2,547 stations with a report, thinned, over the shorelines and borders of the
# shoreline database (read once); the whole command, in seconds. And the map of the
# whole database (a fitted domain: the globe, crude shorelines).
printf '%-34s %9.3f s\n' "map, us region (-pa psvg -re us)" \
  "$(best $sfc -id all -pa psvg -re us "$PWD/share/20010600_sao.wmo")"
printf '%-34s %9.3f s\n' "map, whole database (-pa psvg)" \
  "$(best $sfc -id all -pa psvg "$PWD/share/20010600_sao.wmo")"

# Memory stays flat whatever the file size: peak resident size for one hour and for
# the five-hour input.
# Measured on the program itself (bench/peak_rss, or GNU time): a parent that forks it
# would count its own pages too.
peak_kb() {  # peak resident kB of "$@"
  if [ -x "$build/peak_rss" ]; then "$build/peak_rss" "$@"; return; fi
  /usr/bin/time -f '%M' "$@" 2>&1 >/dev/null | tail -1
}
echo "peak memory, -pa dec: $(peak_kb $sfc -id all -pa dec "$PWD/share/20010600_sao.wmo") kB for one hour," \
  "$(peak_kb $sfc -id all -pa dec "$work/big.wmo") kB for five"
echo "peak memory, gathering over the whole database: $(peak_kb $sfc -id all -pa dec,city "$PWD/share/20010600_sao.wmo") kB for one hour"

# Library benchmarks: cutting only, and decoding only where built.
for b in bench_raw_reader bench_metar bench_station; do
  if [ -x "$build/$b" ]; then
    echo "--- $b"
    $pin "$build/$b" --benchmark_min_time=1 2>/dev/null | grep -E 'reports/s|items_per_second|bytes_per_second|^BM' || true
  fi
done
