#!/usr/bin/env bash
# Runs one end-to-end case of the built program and compares its whole standard
# output, standard error and exit status with the case's golden files.
#
#   run_case.sh PROGRAM CASE_DIR      (UPDATE=1 rewrites the golden files)
#
# A case directory holds `cmd`, a bash script run in a fresh temporary directory
# with $SFC (the program), $DATA (tests/data), $SHARE (share/) and $BUILD (the
# directory of the program and the test tools, such as cvt_write) set, and the golden
# files `stdout`, `stderr` and `status`.
set -u
prog=$(realpath "$1")
case_dir=$(realpath "$2")
root=$(realpath "$(dirname "$0")/../..")
work=$(mktemp -d /tmp/sfc_cli.XXXXXX)
trap 'rm -rf "$work"' EXIT

# Nothing from the caller's environment may steer the program.
for v in $(env | grep -o '^zyp[^=]*'); do unset "$v"; done
export SFC="$prog" DATA="$root/tests/data" SHARE="$root/share" BUILD="$(dirname "$prog")" HOME="$work/home"
mkdir -p "$HOME"
export zypdefault="$work"   # resource files come only from the case's directory
export zypfile="$root/share"  # the shipped naming conventions and units
export TZ=UTC LC_ALL=C

cd "$work"
bash "$case_dir/cmd" >"$work/.stdout" 2>"$work/.stderr" </dev/null
echo $? >"$work/.status"

# A large golden output is kept compressed (stdout.gz instead of stdout).
zipped=0; [ -f "$case_dir/stdout.gz" ] && zipped=1
if [ "${UPDATE:-0}" = 1 ]; then
  if [ $zipped = 1 ]; then gzip -9n <"$work/.stdout" >"$case_dir/stdout.gz"; else cp "$work/.stdout" "$case_dir/stdout"; fi
  cp "$work/.stderr" "$case_dir/stderr"
  cp "$work/.status" "$case_dir/status"
  exit 0
fi
[ $zipped = 1 ] && gunzip -c "$case_dir/stdout.gz" >"$work/.expected_stdout"
fail=0
for f in stdout stderr status; do
  expected="$case_dir/$f"
  [ $f = stdout ] && [ $zipped = 1 ] && expected="$work/.expected_stdout"
  if ! diff -u --label "expected $f" --label "actual $f" "$expected" "$work/.$f" | head -200; then :; fi
  cmp -s "$expected" "$work/.$f" || fail=1
done
exit $fail
