#!/usr/bin/env bash
# Checks the Wine runner the win64 tests go through: exit codes reach CTest unchanged, and
# an executable Wine would not really run (a 32-bit one exits 0 silently) is refused.
# Usage: harness_test.sh <exit_code.exe> <scripts dir>
set -u
exe="$1"
run="$2/wine-run"
failures=0
check() {  # description, expected rc, actual rc, output, expected output pattern
  if [ "$3" -ne "$2" ] || ! grep -q -- "$5" <<<"$4"; then
    echo "FAIL $1: rc=$3 (expected $2), output: $4"
    failures=$((failures + 1))
  else
    echo "ok   $1"
  fi
}
for code in 0 1 3 77; do
  out=$("$run" "$exe" "$code" 2>&1); rc=$?
  check "exit code $code" "$code" "$rc" "$out" "leaving with $code"
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# The start of a PE32 (i386) file: enough for the runner to read its machine field.
{
  printf 'MZ'
  head -c 58 /dev/zero
  printf '\x40\x00\x00\x00PE\x00\x00\x4c\x01'
  head -c 256 /dev/zero
} >"$tmp/pe32.exe"
out=$("$run" "$tmp/pe32.exe" 2>&1); rc=$?
if [ "$rc" -eq 0 ]; then
  echo "FAIL a 32-bit executable was reported as a success: $out"
  failures=$((failures + 1))
else
  check "32-bit executable refused" "$rc" "$rc" "$out" "not a 64-bit"
fi
[ "$failures" -eq 0 ] && echo "harness ok"
exit $((failures > 0))
