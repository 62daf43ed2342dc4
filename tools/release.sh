#!/bin/sh
# A release: every file a player, a packager or a web host takes, in dist/.
#
#   sh tools/release.sh         dist/quillamor2000_VERSION_amd64.deb,
#                               Quillamor2000-VERSION-windows-x64.zip,
#                               Quillamor2000-VERSION-web.zip,
#                               quillamor2000-VERSION.tar.gz and SHA256SUMS
#   sh tools/release.sh check   makes them, then again from a clone at another
#                               path, and compares the two byte for byte
#
# VERSION is the CMake project's. Every date in them is SOURCE_DATE_EPOCH,
# the last commit's time (written into the source tarball, which has no
# git), and no build path, owner or host name goes in, so that any clone of
# one commit makes the same bytes. Tracked files changed but not committed
# are in the release, as the source tarball holds them; untracked files are
# not. Installs what it is missing (Debian 12, through sudo when not root),
# as the other commands do; the Windows and web builds are tools/windows.sh's
# and tools/web.sh's, SDL2 for them kept in ~/.cache/quillamor2000.
set -eu
cd "$(dirname "$0")/.."
mode=${1:-make}
case $mode in make | check) ;; *) echo "usage: sh tools/release.sh [check]" >&2; exit 2 ;; esac
top=$PWD
out=$top/build-release
dist=$top/dist
version=$(sed -n 's/^project(Quillamor2000 VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
sh tools/install-missing.sh cmake g++ make pkg-config libsdl2-dev wayland-protocols dpkg-dev file git zip
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  if [ -e .git ]; then SOURCE_DATE_EPOCH=$(git log -1 --format=%ct); else SOURCE_DATE_EPOCH=$(cat SOURCE_DATE_EPOCH); fi
fi
export SOURCE_DATE_EPOCH TZ=UTC LC_ALL=C
umask 022
start=$(date +%s)
mark=$start
quietly() {  # quietly NAME COMMAND...: the command's output in build-release/NAME.log, shown if it fails
  log=$out/$1.log
  shift
  "$@" >"$log" 2>&1 || { tail -n 30 "$log"; echo "release.sh: failed; the whole log is $log" >&2; exit 1; }
}
took() {  # took WHAT: the seconds since the last mark
  now=$(date +%s)
  parts="${parts:-}${parts:+, }$1 $((now - mark)) s"
  mark=$now
}

# The tracked files as they are now, as a commit that no branch names
# (HEAD when nothing is changed): what the source tarball holds and what
# check's clone builds.
snapshot() {
  commit=$(git stash create)
  echo "${commit:-HEAD}"
}

if [ "$mode" = check ]; then
  sh tools/release.sh
  commit=$(snapshot)
  clone=$(mktemp -d "${TMPDIR:-/tmp}/quillamor-release.XXXXXX")/quillamor2000
  # The clone reads this repository's objects (--shared), the snapshot's
  # among them; it builds everything afresh but SDL2, kept in ~/.cache.
  git clone -q --shared --no-checkout "$top" "$clone"
  git -C "$clone" checkout -q --detach "$commit"
  sh "$clone/tools/release.sh" >"$clone.log" 2>&1 || { tail -n 20 "$clone.log"; echo "release.sh check: the second run failed (log: $clone.log)" >&2; exit 1; }
  took "second run, in $clone"
  # What differs, as far as cmp and the archives' listings tell.
  listing() {
    case $1 in
      *.zip) unzip -Zl "$1" ;;
      *.deb) dpkg-deb -c "$1" ;;
      *.tar.gz) tar -tvzf "$1" ;;
    esac
  }
  differ=""
  for file in $( (ls "$dist"; ls "$clone/dist") | sort -u); do
    if ! cmp "$dist/$file" "$clone/dist/$file"; then
      differ="$differ $file"
      listing "$dist/$file" >"$clone.first" 2>&1 || :
      listing "$clone/dist/$file" >"$clone.second" 2>&1 || :
      diff "$clone.first" "$clone.second" | head -n 20 || :
    fi
  done
  if [ -n "$differ" ]; then
    echo "release.sh check: the second run made other bytes for$differ (kept in $clone/dist)" >&2
    exit 1
  fi
  rm -rf "$(dirname "$clone")"
  echo "release.sh check: $parts; the second run, from a clone at another path, made the same bytes for all $(ls "$dist" | wc -l) files"
  exit 0
fi

rm -rf "$dist"
mkdir -p "$dist" "$out"

# The source, without .git, with the date a build of it needs.
if [ -e .git ]; then
  name=quillamor2000-$version
  rm -rf "$out/source"
  mkdir -p "$out/source/$name"
  git archive "$(snapshot)" | tar -x -C "$out/source/$name"
  echo "$SOURCE_DATE_EPOCH" >"$out/source/$name/SOURCE_DATE_EPOCH"
  tar -C "$out/source" --sort=name --mtime=@"$SOURCE_DATE_EPOCH" --owner=0 --group=0 --numeric-owner \
    --mode=go-w --format=gnu -cf - "$name" | gzip -9n >"$dist/$name.tar.gz"
  took "source tarball"
else
  echo "release.sh: this is the source tarball's own folder: the other files are made, not the tarball"
fi

# The Debian package: the optimised game with its line tables stripped, as
# Debian builds.
quietly linux-configure cmake -S . -B "$out/linux" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLAMOR_TESTS=OFF -DQUILLAMOR_BENCH=OFF
quietly linux-build nice -n 5 cmake --build "$out/linux" -j2 --target quillamor2000
quietly deb cpack -G DEB --config "$out/linux/CPackConfig.cmake" -B "$out/linux/package"
cp "$out/linux/package/quillamor2000_${version}_amd64.deb" "$dist/"
took ".deb"

# The zips, made again with this release's date.
rm -f build-windows/Quillamor2000-*.zip build-web/Quillamor2000-*.zip
quietly windows nice -n 5 sh tools/windows.sh
cp "build-windows/Quillamor2000-$version-windows-x64.zip" "$dist/"
took "Windows zip"
quietly web nice -n 5 sh tools/web.sh
cp "build-web/Quillamor2000-$version-web.zip" "$dist/"
took "web zip"

sums=$(cd "$dist" && sha256sum -- *)
echo "$sums" >"$dist/SHA256SUMS"
for file in "$dist"/*; do
  echo "release.sh: dist/$(basename "$file") ($(wc -c <"$file") bytes)"
done
echo "release.sh: $parts; $(($(date +%s) - start)) s in all"
