#!/bin/sh
# Runs a test as an ordinary user, since root may set attributes and modes
# that an ordinary user may not: the caller itself if it is one, else
# "nobody", with a temporary directory of that user's own.
set -eu
if [ "$(id -u)" != 0 ]; then
  exec "$@"
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
chown 65534:65534 "$scratch"
TMPDIR=$scratch HOME=$scratch setpriv --reuid=65534 --regid=65534 --clear-groups "$@"
