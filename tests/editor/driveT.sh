#!/usr/bin/env bash
# Maps drive T: of the Wine prefix the tests run in to a folder, or removes
# the mapping: "driveT.sh map FOLDER" or "driveT.sh unmap". The prefix is
# WINEPREFIX, else the one scripts/wine-run uses by default. Drive letters
# are symbolic links in the prefix's dosdevices folder.
set -eu
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
prefix="${WINEPREFIX:-$top/build/windows/wineprefix}"
case "${1:-}" in
  map)
    mkdir -p "$2" "$prefix/dosdevices"
    ln -sfn "$2" "$prefix/dosdevices/t:"
    ;;
  unmap)
    rm -f "$prefix/dosdevices/t:"
    ;;
  *)
    echo "usage: driveT.sh map FOLDER | unmap" >&2
    exit 2
    ;;
esac
