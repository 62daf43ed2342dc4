#!/bin/sh
# Each layer includes only itself and what lies below it: the rules include
# nothing but their own headers and the standard library (no window, no
# SDL, no threads, no clock); the timer nothing of the rules or the window;
# the platform layer nothing of the rules, the window or the timer; and
# nothing above the platform layer sees SDL. A system's folder of the
# platform layer (platform/linux/, windows/, ...) includes nothing of
# another system's folder. Every file of a layer is read, at any depth, and
# an include however it is written: "../platform/x.h" is platform/x.h,
# "../windows/x.h" another system's, "SDL.h" is SDL's.
# Prints every include that crosses the wrong way.
root=${1:-.}
cd "$root" || exit 2

# One line per include: FILE "NAME" or FILE <NAME>, with any leading ./ and
# ../ taken off NAME.
includes() {
  find "$@" -type f | sort | while read -r file; do
    sed -nE 's@^[[:space:]]*#[[:space:]]*include[[:space:]]*([<"])(\./|\.\./)*([^">]*)[">].*@\1\3@p' "$file" |
      sed -e 's@^<\(.*\)@<\1>@' -e 's@^"\(.*\)@"\1"@' -e "s@^@$file @"
  done
}

# Another system's folder, as platform/NAME/ or, from beside it, "../NAME/"
# (<linux/...> is the kernel's).
other_systems() {  # other_systems SYSTEM: NAME|NAME|... of the other folders
  find platform -mindepth 1 -maxdepth 1 -type d ! -name "$1" -printf '%f\n' | paste -sd '|' -
}

bad=$(
  includes game | grep -vE ' ("game/[^"]*"|<[^>]*>)$'
  includes game | grep -E ' <(thread|chrono|ctime|time\.h|mutex|condition_variable|future)>$'
  includes platform | grep -E ' ["<](game|ui|timing)/'
  includes timing | grep -E ' ["<](game|ui)/'
  includes game ui timing | grep -E ' ["<](SDL2/)?SDL'
  for system in $(find platform -mindepth 1 -maxdepth 1 -type d -printf '%f\n'); do
    others=$(other_systems "$system")
    [ -n "$others" ] && includes "platform/$system" | grep -E " (\"(platform/)?($others)/|<platform/($others)/)"
  done
)
if [ -n "$bad" ]; then
  echo "includes across the layers:"
  echo "$bad"
  exit 1
fi
echo "layers apart"
