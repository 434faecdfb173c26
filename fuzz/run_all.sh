#!/usr/bin/env bash
# Runs every built fuzz target of build-fuzz/ over a scratch copy of its seed corpus.
#   fuzz/run_all.sh RUNS [SEED [SECONDS]]
# A fixed seed and run count give a repeatable run; SECONDS bounds each target's run
# (CI keeps the whole suite within its time whatever the targets' speeds).
# Crash inputs are written to fuzz/crashes/<target>/; copy them into the target's
# corpus once fixed, so that the replay tests keep them.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-100000}
seed=${2:-1}
seconds=${3:-0}
status=0
for bin in build-fuzz/fuzz_*; do
  [ -x "$bin" ] || continue
  name=$(basename "$bin")
  corpus=${name#fuzz_}
  # A target without its seed corpus fails the run rather than fuzz from nothing.
  if [ -z "$(ls -A "fuzz/corpus/$corpus" 2>/dev/null)" ]; then
    echo "== $name: no seed corpus in fuzz/corpus/$corpus" >&2
    status=1
    continue
  fi
  work=$(mktemp -d)
  cp -r "fuzz/corpus/$corpus/." "$work/"
  # Seeds kept as CDL text are made into the netCDF files they describe.
  for cdl in "$work"/*.cdl; do
    [ -e "$cdl" ] && ncgen -o "${cdl%.cdl}.cdf" "$cdl" && rm "$cdl"
  done
  mkdir -p "fuzz/crashes/$corpus"
  echo "== $name: $runs runs, seed $seed${3:+, at most $seconds s}"
  if ! "$bin" -runs="$runs" -seed="$seed" -max_len=4096 -timeout=30 -max_total_time="$seconds" \
      -artifact_prefix="$PWD/fuzz/crashes/$corpus/" "$work" 2>"$work.log"; then
    tail -40 "$work.log"
    status=1
  fi
  grep -E '^Done|stat::number_of_executed_units' "$work.log" | tail -1 || true
  rm -rf "$work" "$work.log"
done
exit $status
