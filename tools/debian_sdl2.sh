# SDL2 built from Debian's own source package as a static library, for the
# builds that cannot use the machine's libsdl2-dev (Windows, the browser).
# Sourced (sh) by tools/windows.sh and tools/web.sh:
#
#   build_debian_sdl2 WORK PREFIX CONFIGURE...
#
# gets the source with `apt-get source libsdl2` through a deb-src list of its
# own in WORK/apt (the machine's apt setup is untouched), configures it with
# CONFIGURE (a cmake command line: a toolchain file, or emcmake cmake) and
# installs it into PREFIX. Does nothing when PREFIX already holds it.
sdl_version=2.26.5
# Names the kept build: built with no folder of the build in it (so that a
# release is the same bytes from any clone), it is not the earlier one.
sdl_build=$sdl_version-pathless

build_debian_sdl2() {
  work=$1 prefix=$2
  shift 2
  [ -f "$prefix/lib/libSDL2.a" ] && return 0
  echo "first run: building SDL2 $sdl_version from Debian's source package (apt-get source libsdl2) into $prefix; later runs reuse it"
  rm -rf "$work/apt" "$work/sdl2-src" "$work/sdl2-build"
  mkdir -p "$work/sdl2-src"
  fetch_debian_sdl2_source "$work/apt" "$work/sdl2-src" || {
    echo "could not get SDL2 $sdl_version from Debian's sources (bookworm)" >&2
    return 1
  }
  "$@" -S "$work/sdl2-src/sdl2" -B "$work/sdl2-build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_C_FLAGS="-ffile-prefix-map=$work/sdl2-src/sdl2/=sdl2/ -ffile-prefix-map=$work/sdl2-build/=sdl2-build/" \
    -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF >"$work/sdl2-configure.log" 2>&1 || {
    echo "SDL2's configure failed (log: $work/sdl2-configure.log)" >&2
    return 1
  }
  cmake --build "$work/sdl2-build" -j2 >/dev/null && cmake --install "$work/sdl2-build" >/dev/null
}

# The source, unpacked into SRC/sdl2 (a subshell: its positional words are
# apt's options).
fetch_debian_sdl2_source() (
  apt=$1 src=$2
  mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/sources.list.d"
  # The machine's own mirrors and keys, for sources instead of binaries
  # (apt checks the files against the signed index; dpkg-source cannot check
  # the uploader's signature without debian-keyring, and says so in its log).
  cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null | sed -n 's/^deb /deb-src /p' >"$apt/sources.list"
  for f in /etc/apt/sources.list.d/*.sources; do
    if [ -f "$f" ]; then sed 's/^Types:.*/Types: deb-src/' "$f" >"$apt/sources.list.d/$(basename "$f")"; fi
  done
  set -- -o "Dir::Etc::SourceList=$apt/sources.list" -o "Dir::Etc::SourceParts=$apt/sources.list.d" \
    -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache" -o APT::Sandbox::User=root
  apt-get "$@" -qq update
  cd "$src" && apt-get "$@" -qq source --download-only libsdl2 >/dev/null 2>&1 &&
    dpkg-source -x --skip-debianization libsdl2_"$sdl_version"*.dsc sdl2 >dpkg-source.log 2>&1
)
