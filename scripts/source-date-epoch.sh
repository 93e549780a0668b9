#!/bin/sh
# Prints the date that a build of this source tree carries, in seconds since
# 1970 (UTC): SOURCE_DATE_EPOCH when it is set, else the date of the last
# commit, else 315532800 (1980-01-01 00:00:00 UTC, the earliest time a zip
# entry can hold) for a tree that is not a git checkout. The build's marker,
# the zip's entry times and BUILDINFO.txt all take it from here, so that the
# same source gives the same bytes whenever and wherever it is built.
#   scripts/source-date-epoch.sh [source folder]
set -eu
src=${1:-$(dirname "$0")/..}

if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
  case $SOURCE_DATE_EPOCH in
    *[!0-9]*)
      echo "SOURCE_DATE_EPOCH must be a whole number of seconds, not" \
           "'$SOURCE_DATE_EPOCH'" >&2
      exit 1 ;;
  esac
  echo "$SOURCE_DATE_EPOCH"
  exit 0
fi

# Only the tree's own repository counts: a tree unpacked inside some other
# checkout must not take that one's date.
top=$(git -C "$src" rev-parse --show-toplevel 2>/dev/null || true)
if [ -n "$top" ] && [ "$(cd "$top" && pwd -P)" = "$(cd "$src" && pwd -P)" ]; then
  git -C "$src" log -1 --format=%ct
else
  echo 315532800
fi
