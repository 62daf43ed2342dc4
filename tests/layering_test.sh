#!/bin/sh
# Each layer includes only itself and what lies below it: the rules include
# nothing but their own headers and the standard library (no window, no
# SDL, no threads, no clock); the timer nothing of the rules or the window;
# the platform layer nothing of the rules, the window or the timer; and
# nothing above the platform layer sees SDL. An include is read however it
# is written: "../platform/x.h" is platform/x.h, "SDL.h" is SDL's.
# Prints every include that crosses the wrong way.
root=${1:-.}
cd "$root" || exit 2

# One line per include: FILE "NAME" or FILE <NAME>, with any leading ./ and
# ../ taken off NAME.
includes() {
  for file in "$@"; do
    [ -f "$file" ] || continue
    sed -nE 's@^[[:space:]]*#[[:space:]]*include[[:space:]]*([<"])(\./|\.\./)*([^">]*)[">].*@\1\3@p' "$file" |
      sed -e 's@^<\(.*\)@<\1>@' -e 's@^"\(.*\)@"\1"@' -e "s@^@$file @"
  done
}

bad=$(
  includes game/* | grep -vE ' ("game/[^"]*"|<[^>]*>)$'
  includes game/* | grep -E ' <(thread|chrono|ctime|time\.h|mutex|condition_variable|future)>$'
  includes platform/* | grep -E ' ["<](game|ui|timing)/'
  includes timing/* | grep -E ' ["<](game|ui)/'
  includes game/* ui/* timing/* | grep -E ' ["<](SDL2/)?SDL'
)
if [ -n "$bad" ]; then
  echo "includes across the layers:"
  echo "$bad"
  exit 1
fi
echo "layers apart"
