#!/usr/bin/env bash
# Runs one Windows executable under wine64. This is the build's
# CMAKE_CROSSCOMPILING_EMULATOR. Inside a session (tools/wine/wine-session.sh)
# it reuses the session's prefix, display and wineserver; on its own it opens
# a session just for this executable.
#
# QUILLON_TEST_TIMEOUT (seconds, default 300) bounds a run: a hung program is
# killed and the run fails.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
if [[ -z "${QUILLON_WINE_SESSION:-}" ]]; then
  exec "$here/wine-session.sh" "$0" "$@"
fi
source "$here/wine-paths.sh"

# Keep the session's wineserver persistent and away from our descriptors:
# should it be gone, the next Wine program would start one of its own.
if "$WINESERVER" -p </dev/null >/dev/null 2>&1; then
  echo "wine-exec: the session's wineserver had gone; started a new one" >&2
fi

# Wine helper processes that the program starts (services, the desktop)
# outlive it and inherit its descriptors. They get a file, not the caller's
# pipe, so ctest never waits for them; the output is passed on afterwards.
output=$(mktemp "${TMPDIR:-/tmp}/quillon-wine-exec.XXXXXX")
timeout --kill-after=5 "${QUILLON_TEST_TIMEOUT:-300}" "$WINE" "$@" </dev/null >"$output" 2>&1
status=$?
cat "$output"
# A program that dies before it flushes leaves nothing else to go by.
[[ $status -eq 0 ]] || echo "wine-exec: $(basename "$1") ended with status $status" >&2
rm -f "$output"
exit $status
