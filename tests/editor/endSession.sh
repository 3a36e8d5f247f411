#!/usr/bin/env bash
# "endSession.sh EDITOR_EXE PREFIX": in a Wine prefix of its own (made the
# first time), starts the editor on a saved document, ends the Wine session
# with wineboot --end-session and checks that the editor ended with its
# configuration written. Needs an X display (the suite runs under xvfb-run).
set -u
editor="$1"
export WINEPREFIX="$2"
. "$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/scripts/wine-env"
wine_prefix_ready
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1

work="$(mktemp -d)"
trap 'wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
mkdir "$work/docs"
cp "$editor" "$work/zarnoGlotWriteW.exe"
printf 'w.vcb\r\n\r\nConsolas,10\r\n' > "$work/zarnoGlotWriteW.ini"
printf 'Liebe Oma' > "$work/docs/Brief.text"
log="$(find "$WINEPREFIX/drive_c/users" -path '*ZarnoGlot/zarnoGlotWriteW.log' 2>/dev/null | head -n 1)"
before=$([ -n "$log" ] && wc -c < "$log" || echo 0)

wine "$work/zarnoGlotWriteW.exe" "Z:${work//\//\\}\\docs\\Brief.text" </dev/null >/dev/null 2>&1 &
editorPid=$!
started=""
for _ in $(seq 600); do
  log="$(find "$WINEPREFIX/drive_c/users" -path '*ZarnoGlot/zarnoGlotWriteW.log' 2>/dev/null | head -n 1)"
  if [ -n "$log" ] && tail -c +$((before + 1)) "$log" | grep -q 'file_open_path() start'; then started=yes; break; fi
  sleep 0.1
done
[ -n "$started" ] || { echo "endSession.sh: the editor did not start"; exit 1; }
sleep 1
# Only the editor's folder changes: the document's folder becomes the data directory.
rm -f "$work/zarnoGlotWriteW.ini"
wineboot --end-session </dev/null >/dev/null 2>&1
for _ in $(seq 300); do kill -0 "$editorPid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$editorPid" 2>/dev/null; then echo "endSession.sh: the editor did not end"; exit 1; fi
expected="$(printf 'w.vcb\r\nZ:%s\\docs\r\nConsolas,10\r\n' "${work//\//\\}")"
actual="$(cat "$work/zarnoGlotWriteW.ini" 2>/dev/null)"
ran="$(tail -c +$((before + 1)) "$log")"
echo "$ran"
[ "$actual" = "$expected" ] || { echo "endSession.sh: configuration [$actual], expected [$expected]"; exit 1; }
grep -q 'The session is ending' <<<"$ran" || { echo "endSession.sh: no end-session line in the log"; exit 1; }
echo "endSession.sh: the editor ended with the session, its configuration written"
