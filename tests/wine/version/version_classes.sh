#!/usr/bin/env bash
# Switches the prefix through the Windows versions Wine offers a 64-bit prefix and checks
# what the version probe reports for each; restores the prefix's version afterwards.
# Usage: version_classes.sh <version_probe.exe> <scripts dir>
set -u
probe="$1"
scripts="$2"
. "$scripts/wine-env"
wine_server_up

# `winecfg -v` without a name prints the prefix's current version.
current_version() {
  winecfg -v 2>/dev/null | tr -d '\r' | head -n 1
}

original=$(current_version)
if [ -z "$original" ]; then
  echo "FAIL cannot read the prefix's Windows version"
  exit 1
fi
restore() {
  winecfg -v "$original" >/dev/null 2>&1
  local now
  now=$(current_version)
  if [ "$now" != "$original" ]; then
    echo "FAIL the prefix was left at $now instead of $original"
    exit 1
  fi
  echo "prefix restored to $original"
}
trap restore EXIT

# name  version  product  native-arch  windows-name     class
rows=(
  "winxp64 5.2 1 9 Windows_XP 5"
  "vista   6.0 1 9 Windows_Vista 6"
  "win7    6.1 1 9 Windows_7 7"
  "win8    6.2 1 9 Windows_8 8"
  "win10   6.2 1 9 Windows_8 8"
)
failures=0
for row in "${rows[@]}"; do
  read -r name version product arch wname class <<<"$row"
  wname=${wname//_/ }
  if ! winecfg -v "$name" >/dev/null 2>&1; then
    echo "FAIL $name: winecfg -v refused it"
    failures=$((failures + 1))
    continue
  fi
  out=$("$scripts/wine-run" "$probe" 2>/dev/null | tr -d '\r')
  get() { sed -n "s/^$1=//p" <<<"$out"; }
  if ! grep -qx done <<<"$out"; then
    echo "FAIL $name: the probe printed no result (did it run at all?)"
    failures=$((failures + 1))
    continue
  fi
  got="$(get version) $(get product) $(get native_arch)"
  want="$version $product $arch"
  line="$name: version=$(get version) build=$(get build) product=$(get product) native_arch=$(get native_arch)"
  if grep -q '^name=' <<<"$out"; then
    got="$got|$(get name)|$(get class)"
    want="$want|$wname|$class"
    line="$line name=\"$(get name)\" class=$(get class)"
  fi
  if [ "$got" = "$want" ]; then
    echo "ok   $line"
  else
    echo "FAIL $line (expected $want)"
    failures=$((failures + 1))
  fi
done
[ "$failures" -eq 0 ] && echo "all version classes as expected"
exit $((failures > 0))
