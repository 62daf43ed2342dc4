#!/bin/sh
# The release as players, packagers and web hosts get it: release.sh check
# (two runs, the same bytes), then dist/: the sums, lintian and appstreamcli,
# one version everywhere, the web zip played from a static server directly
# and in another origin's <iframe>, the source tarball built and tested alone.
# tools/test.sh runs it; SHOTS=DIR keeps the browser test's screenshots.
set -u
cd "$(dirname "$0")/.."
top=$PWD
PASSED=0 FAILED=0
pass() { PASSED=$((PASSED + 1)); echo "PASS: $*"; }
fail() { FAILED=$((FAILED + 1)); echo "FAIL: $*"; }
sh tools/install-missing.sh lintian appstream unzip binutils
start=$(date +%s)
work=$(mktemp -d "${TMPDIR:-/tmp}/quillamor-release-test.XXXXXX")
trap '[ "$FAILED" -eq 0 ] && rm -rf "$work"' EXIT

if sh tools/release.sh check; then pass "release.sh check: two runs, the same bytes"; else fail "release.sh check"; fi
v=$(sed -n 's/^project(Quillamor2000 VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
cd dist
deb=quillamor2000_${v}_amd64.deb windows=Quillamor2000-$v-windows-x64.zip web=Quillamor2000-$v-web.zip source=quillamor2000-$v.tar.gz
listed=$(awk '{print $2}' SHA256SUMS | sort | paste -sd' ')
[ "$listed" = "$(printf '%s\n' "$deb" "$windows" "$web" "$source" | sort | paste -sd' ')" ] && sha256sum -c --quiet SHA256SUMS &&
  pass "SHA256SUMS checks the four files of $v" || fail "SHA256SUMS lists $listed, or a sum is wrong"

# Run as root, lintian says it is not recommended, and that is all.
tags=$(lintian "$deb" 2>&1 | grep -v '^running with root privileges')
[ -z "$tags" ] && pass "lintian: nothing" || fail "lintian: $tags"
dpkg-deb -x "$deb" "$work/deb"
metainfo=$work/deb/usr/share/metainfo/org.quillamor.Quillamor2000.metainfo.xml
said=$(appstreamcli validate --no-net "$metainfo" 2>&1) && ! echo "$said" | grep -q '^[EWI]:' &&
  pass "appstreamcli validate: $(echo "$said" | tail -n 1)" || fail "appstreamcli validate: $said"

# Every place the version is written: all must be $v.
unzip -q "$windows" -d "$work/windows"
unzip -q "$web" -d "$work/web"
exe=$work/windows/quillamor2000.exe
found="deb=$(dpkg-deb -f "$deb" Version)
metainfo=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$metainfo" | head -n 1)
changelog=$(zcat "$work/deb/usr/share/doc/quillamor2000/changelog.gz" | sed -n '1s/.*(\(.*\)).*/\1/p')
manpage=$(zcat "$work/deb/usr/share/man/man6/quillamor2000.6.gz" | sed -n '1s/.*"Quillamor 2000 \([^"]*\)".*/\1/p')
exe-file=$(strings -el "$exe" | sed -n '/^FileVersion$/{n;p}')
exe-product=$(strings -el "$exe" | sed -n '/^ProductVersion$/{n;p}')
exe-manifest=$(strings "$exe" | sed -n 's/.*assemblyIdentity.* version="\([0-9.]*\)\.0".*/\1/p')
page=$(sed -n 's/.*<meta name="version" content="\([^"]*\)".*/\1/p' "$work/web/index.html")
service-worker=$(sed -n 's/^const CACHE = "quillamor2000-\([0-9.]*\)-[0-9a-f]*";/\1/p' "$work/web/service-worker.js")
tarball=$(tar -tzf "$source" | sed -n '1s|^quillamor2000-\([^/]*\)/.*|\1|p')"
wrong=$(echo "$found" | grep -v "=$v$")
[ -z "$wrong" ] && pass "version $v in $(echo "$found" | cut -d= -f1 | paste -sd' ')" || fail "not $v: $(echo "$wrong" | paste -sd' ')"

# The web zip as hosts take one: index.html at its root, few files, plain names.
names=$(unzip -Z1 "$web")
[ -f "$work/web/index.html" ] && [ "$(echo "$names" | wc -l)" -le 1000 ] && ! echo "$names" | grep -q '^/\|\.\./\|\\' &&
  pass "the web zip: index.html at its root, $(echo "$names" | wc -l) files with plain names" || fail "the web zip holds: $names"
BROWSERS="chromium frame" PAGE=$work/web bash "$top/tests/browser_test.sh" "$top/build-web" &&
  pass "the web zip plays from a static server, directly and in another origin's iframe" || fail "the web zip in the browser"

# The source alone: no git; its headless suites at -O1 (the sanitizers' run is test.sh's).
tar -xzf "$source" -C "$work"
src=$work/quillamor2000-$v
if [ ! -e "$src/.git" ] && [ -s "$src/SOURCE_DATE_EPOCH" ] &&
  cmake -S "$src" -B "$src/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO='-O1 -DNDEBUG' \
    -DQUILLAMOR_BENCH=OFF -DQUILLAMOR_REAL_WINDOW_TEST=OFF -DQUILLAMOR_PACKAGE_TEST=OFF >"$work/source.log" 2>&1 &&
  nice -n 5 cmake --build "$src/build" -j2 >>"$work/source.log" 2>&1 &&
  (cd "$src/build" && ctest -j2 --output-on-failure >>"$work/source.log" 2>&1); then
  pass "the source tarball, without git, builds and passes its $(sed -n 's/.*tests failed out of //p' "$work/source.log") tests"
else
  fail "the source tarball: $(tail -n 15 "$work/source.log")"
fi

echo "release test: $(($(date +%s) - start)) s"
echo "$PASSED passed, $FAILED failed"
[ "$FAILED" -eq 0 ]
