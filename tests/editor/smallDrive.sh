#!/usr/bin/env bash
# Maps drive S: of the Wine prefix the tests run in to a small drive (a
# tmpfs of 64 KiB mounted on FOLDER), or removes it: "smallDrive.sh map
# FOLDER" or "smallDrive.sh unmap FOLDER". Where nothing can be mounted the
# folder stands alone and the test that needs a full drive skips itself.
set -u
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
prefix="${WINEPREFIX:-$top/build/windows/wineprefix}"
case "${1:-}" in
  map)
    mkdir -p "$2" "$prefix/dosdevices"
    mountpoint -q "$2" || mount -t tmpfs -o size=64k zgSmallDrive "$2" 2>/dev/null ||
      echo "smallDrive.sh: no tmpfs could be mounted on $2" >&2
    ln -sfn "$2" "$prefix/dosdevices/s:"
    ;;
  unmap)
    rm -f "$prefix/dosdevices/s:"
    if mountpoint -q "$2"; then umount "$2"; fi
    ;;
  *)
    echo "usage: smallDrive.sh map FOLDER | unmap FOLDER" >&2
    exit 2
    ;;
esac
