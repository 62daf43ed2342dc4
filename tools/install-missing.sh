#!/bin/sh
# Installs, with apt-get, those of the named Debian packages that are not
# installed yet; updates the package lists only when something is missing.
set -eu
missing=""
for p in "$@"; do dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"; done
if [ -n "$missing" ]; then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing
fi
