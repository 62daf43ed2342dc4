#!/bin/sh
# Each layer includes only itself and what lies below it: the rules include
# nothing of the window, the timer or the platform; the platform layer and
# the timer nothing of the rules or the window. Prints every include that
# crosses the wrong way.
root=${1:-.}
cd "$root" || exit 2
bad=$(grep -nE '#include *"(ui|timing|platform)/' game/*.h game/*.cpp;
      grep -nE '#include *"(ui|game)/' platform/*.h platform/*.cpp timing/*.h timing/*.cpp;
      grep -nE '#include *<SDL' game/* ui/* timing/*)
if [ -n "$bad" ]; then
  echo "includes across the layers:"
  echo "$bad"
  exit 1
fi
echo "layers apart"
