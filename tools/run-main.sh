#!/usr/bin/env bash
# The main job: the add-on at work in a browser window. Installs what is
# missing, builds the 32-bit product and, for these machines, the 64-bit
# build with quillon-browse, then plays a browsing session under Wine:
# quillon-browse registers QuillonIE.dll with regsvr32, loads its browser
# helper and toolbar band through COM into a browser window of its own,
# the add-on starts the rating service (Quillon.exe) as it does in the
# browser, and each page of the session goes through the add-on with the
# browser's events. One line per step says what the add-on did; the
# pictures and an HTML page showing them go to build/main-job.
#
#   tools/run-main.sh                 the built-in session (quillon-browse --print-session)
#   tools/run-main.sh <address>...    browses the addresses given
#   tools/run-main.sh --session FILE  a session file of your own
#
# These machines cannot run 32-bit programs, so the 64-bit build of the
# same sources runs here; the 32-bit product files are listed at the end.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash tools/setup.sh
echo "== build win32 (the product)"
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target QuillonIE Quillon quillon_scripts quillon_pages | tail -n 1
echo "== build win64 (what runs here)"
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target quillon-browse | tail -n 1

out=$(pwd)/build/main-job
rm -rf "$out"
mkdir -p "$out"
# A session file given by its Linux path is read by the Windows program.
args=()
while [[ $# -gt 0 ]]; do
  if [[ "$1" == "--session" && $# -gt 1 ]]; then
    args+=("--session" "Z:$(realpath "$2")")
    shift 2
  else
    args+=("$1")
    shift
  fi
done

echo
echo "== a browsing session through the add-on (quillon-browse, QuillonIE.dll and Quillon.exe under Wine)"
start=$(date +%s)
tools/wine/wine-session.sh bash -c '
  source tools/wine/wine-paths.sh
  status=0
  "$WINE" "$0/quillon-browse.exe" --out "Z:$1" "${@:2}" || status=$?
  # The service the add-on started outlives the browser window, as it does for users.
  "$WINE" "$0/Quillon.exe" /stop >/dev/null 2>&1 || true
  exit $status
' "$(pwd)/build/win64/bin" "$out" "${args[@]+"${args[@]}"}"
echo "== the session took $(( $(date +%s) - start )) s, Wine start included"

echo "== the 32-bit product (i686, static runtime) is in $(pwd)/build/win32/bin:"
ls build/win32/bin/QuillonIE.dll build/win32/bin/Quillon.exe build/win32/bin/Scripts/*.mrg \
  build/win32/bin/elist.dat 2>/dev/null | sed 's/^/  /'
echo
echo "The session's pictures and lines: $out/session.html"
