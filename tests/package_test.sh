#!/bin/sh
# The Debian package as a player's machine would get it: built by CPack from
# a built tree, unpacked into a scratch root, and every file a desktop needs
# checked there, with Debian's own validators for the desktop entry and the
# metainfo.
#
#   tests/package_test.sh BUILD_DIR
#
# Needs (Debian): dpkg-dev file desktop-file-utils appstream
# Prints PASS/FAIL per check and a last line "N passed, M failed".
set -u

if [ $# -ne 1 ] || [ ! -f "$1/CPackConfig.cmake" ]; then
  echo "usage: $0 BUILD_DIR   (a configured and built tree)" >&2
  exit 2
fi
BUILD=$(cd "$1" && pwd)
ID=org.quillamor.Quillamor2000
PASSED=0 FAILED=0
pass() { PASSED=$((PASSED + 1)); echo "PASS: $*"; }
fail() { FAILED=$((FAILED + 1)); echo "FAIL: $*"; }
check() {  # check DESCRIPTION COMMAND...
  what=$1
  shift
  # Quiet success: a validator's warnings count as failures.
  if "$@" >"$WORK/out" 2>&1 && ! grep -qE '^(W|E):|warning|error' "$WORK/out"; then
    pass "$what"
  else
    fail "$what: $(head -c 600 "$WORK/out")"
  fi
}

missing=
for tool in cpack dpkg-deb dpkg-shlibdeps file desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null 2>&1 || missing="$missing $tool"
done
if [ -n "$missing" ]; then
  echo "FAIL: missing$missing; install: apt-get install -y dpkg-dev file desktop-file-utils appstream"
  echo "0 passed, 1 failed"
  exit 1
fi

WORK=$(mktemp -d "${TMPDIR:-/tmp}/quillamor-package.XXXXXX")
# What a failure left is kept for a look (named in the summary).
trap '[ "$FAILED" -eq 0 ] && rm -rf "$WORK"' EXIT
trap 'exit 130' INT TERM

if ! cpack -G DEB --config "$BUILD/CPackConfig.cmake" -B "$WORK/out-dir" >"$WORK/cpack.log" 2>&1; then
  fail "cpack -G DEB: $(tail -c 800 "$WORK/cpack.log")"
  echo "$PASSED passed, $FAILED failed"
  exit 1
fi
DEB=$(ls "$WORK"/out-dir/*.deb)
pass "cpack -G DEB built $(basename "$DEB") ($(wc -c <"$DEB") bytes)"
ROOT=$WORK/root
dpkg-deb -x "$DEB" "$ROOT"

# ---- what the package says of itself ----
field() { dpkg-deb -f "$DEB" "$1"; }
[ "$(field Package)" = quillamor2000 ] && pass "package quillamor2000" || fail "package is named $(field Package)"
depends=$(field Depends)
others=$(echo "$depends" | tr ',' '\n' | sed 's/^ *//; s/ .*//' | grep -vxE 'libc6|libgcc-s1|libstdc\+\+6|libsdl2-2\.0-0|libwayland-client0')
if echo "$depends" | grep -q 'libsdl2-2\.0-0' && echo "$depends" | grep -q 'libstdc++6' && [ -z "$others" ]; then
  pass "depends on SDL2, the Wayland client and the C and C++ runtimes only: $depends"
else
  fail "Depends: $depends"
fi
# GNOME draws no title bars for Wayland windows: SDL's libdecor needs a plugin.
if field Recommends | grep -q 'libdecor-0-plugin-1-cairo'; then pass "recommends libdecor's cairo plugin"; else fail "Recommends: $(field Recommends)"; fi
# The metainfo's newest release is the package's version.
release=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$ROOT/usr/share/metainfo/$ID.metainfo.xml" | head -n 1)
[ "$release" = "$(field Version)" ] && pass "version $release in the package and the metainfo" ||
  fail "package version $(field Version), newest release in the metainfo $release"

# ---- the files a desktop needs ----
[ -x "$ROOT/usr/games/quillamor2000" ] && pass "usr/games/quillamor2000" || fail "no executable usr/games/quillamor2000"
DESKTOP=$ROOT/usr/share/applications/$ID.desktop
METAINFO=$ROOT/usr/share/metainfo/$ID.metainfo.xml
check "desktop-file-validate $ID.desktop" desktop-file-validate "$DESKTOP"
check "appstreamcli validate --no-net $ID.metainfo.xml" appstreamcli validate --no-net "$METAINFO"
entry() { sed -n "s/^$1=//p" "$DESKTOP"; }
[ "$(entry Exec)" = quillamor2000 ] && pass "Exec starts the installed executable" || fail "Exec=$(entry Exec)"
[ "$(entry StartupWMClass)" = "$ID" ] && pass "StartupWMClass $ID" || fail "StartupWMClass=$(entry StartupWMClass)"
grep -q "<launchable type=\"desktop-id\">$ID.desktop</launchable>" "$METAINFO" &&
  pass "the metainfo launches the desktop entry" || fail "the metainfo names no launchable $ID.desktop"
# What a software centre shows: the validator lets each of these go missing.
shots=$(grep -c '<screenshot[ >]' "$METAINFO")
if grep -q '<description>' "$METAINFO" && grep -q '<content_rating type="oars-' "$METAINFO" && [ "$shots" -ge 4 ]; then
  pass "the metainfo has a description, a content rating and $shots screenshots"
else
  fail "the metainfo lacks a description, a content rating or the README's four screenshots ($shots)"
fi
icon=$(entry Icon)
for size in 32 48 64 128 256; do
  png=$ROOT/usr/share/icons/hicolor/${size}x${size}/apps/$icon.png
  # A PNG's width and height are the big-endian words at bytes 16 and 20.
  dims=$(od -An -tu1 -j16 -N8 "$png" 2>/dev/null | awk '{print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8}')
  [ "$dims" = "${size}x${size}" ] && pass "icon $icon at ${size}x${size}" || fail "icon $icon at ${size}x${size}: ${dims:-missing}"
done

[ "$FAILED" -eq 0 ] || echo "the package and its unpacked files kept in $WORK"
echo "$PASSED passed, $FAILED failed"
[ "$FAILED" -eq 0 ]
