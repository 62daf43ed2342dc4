#!/bin/sh
# Installs, with apt-get, those of the named Debian packages that are not
# installed yet; updates the package lists only when something is missing.
# That is the one step that needs root: for anyone else it goes through sudo,
# saying so first, and everything else stays with the user.
set -eu
missing=""
for p in "$@"; do
  # A package removed but not purged still answers dpkg -s: ask for its state.
  case $(dpkg-query -W -f '${Status}' "$p" 2>/dev/null) in
    *" installed") ;;
    *) missing="$missing $p" ;;
  esac
done
[ -n "$missing" ] || exit 0
if [ "$(id -u)" -eq 0 ]; then
  as_root=
elif command -v sudo >/dev/null 2>&1; then
  echo "Installing the missing Debian packages$missing: apt-get needs root, so sudo may ask for your password." >&2
  as_root=sudo
else
  echo "Missing Debian packages:$missing. Install them as root (apt-get install$missing), then run this again." >&2
  exit 1
fi
$as_root apt-get update -qq
$as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing
