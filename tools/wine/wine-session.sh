#!/usr/bin/env bash
# Runs one command inside a private Wine session: a throw-away WINEPREFIX,
# its own Xvfb display and one persistent wineserver, all torn down when the
# command ends, fails or is interrupted.
#
#   tools/wine/wine-session.sh COMMAND [ARGS...]
#
# QUILLON_WINEDEBUG sets WINEDEBUG for the session (quiet by default).
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/wine-paths.sh"

session_dir=$(mktemp -d "${TMPDIR:-/tmp}/quillon-wine.XXXXXX")
xvfb_pid=""

teardown() {
  if [[ -d "$session_dir/prefix" ]]; then
    WINEPREFIX="$session_dir/prefix" "$WINESERVER" -k >/dev/null 2>&1 || true
    WINEPREFIX="$session_dir/prefix" "$WINESERVER" -w >/dev/null 2>&1 || true
  fi
  if [[ -n "$xvfb_pid" ]]; then
    kill "$xvfb_pid" >/dev/null 2>&1 || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$session_dir"
}
trap teardown EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Xvfb picks a free display itself and tells us its number.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -nolisten unix+abstract \
  3>"$session_dir/display" </dev/null >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [[ -s "$session_dir/display" ]] && break
  sleep 0.05
done
if [[ ! -s "$session_dir/display" ]]; then
  echo "wine-session: Xvfb did not start" >&2
  exit 1
fi

export DISPLAY=":$(head -n1 "$session_dir/display")"
export WINEPREFIX="$session_dir/prefix"
export WINEARCH=win64
export WINEDEBUG="${QUILLON_WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
export QUILLON_WINE_SESSION="$session_dir"

# Wine's helper processes inherit our descriptors; keep them away from the
# caller's pipes, or whoever reads them waits for the session to end. The
# prefix folder must exist first: without it wineserver refuses to start,
# and the first Wine program then starts a server that quits as soon as it
# is idle, taking the session's services and desktop with it.
mkdir -p "$WINEPREFIX"
"$WINESERVER" -p </dev/null >/dev/null 2>&1
"$WINE" wineboot -i </dev/null >/dev/null 2>&1

# One desktop for the whole session (see desktop-keeper.c).
if command -v x86_64-w64-mingw32-gcc >/dev/null &&
   x86_64-w64-mingw32-gcc -O1 -s -o "$session_dir/desktop-keeper.exe" "$here/desktop-keeper.c"; then
  "$WINE" "$session_dir/desktop-keeper.exe" </dev/null >/dev/null 2>&1 &
fi

"$@"
