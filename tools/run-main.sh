#!/usr/bin/env bash
# The main job: installs what is missing, builds the 32-bit product and the
# 64-bit build, then starts the rating service (Quillon.exe) under Wine and
# checks a handful of sites and files against its shipped ratings database
# with quillon-check, exactly as the add-on asks the service.
#
# These machines cannot run 32-bit programs, so the 64-bit build of the same
# sources runs here; the 32-bit product files are listed at the end.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash tools/setup.sh
for preset in win32 win64; do
  echo "== build $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" | tail -n 1
done

bin=$(pwd)/build/win64/bin
samples=$(mktemp -d)
trap 'rm -rf "$samples"' EXIT
# Files whose checksums the shipped database knows, and one it does not.
printf 'abc' > "$samples/FreeScreensaver.exe"
printf 'a' > "$samples/ExampleViewerSetup.exe"
printf 'a file nobody has rated' > "$samples/unknown-tool.exe"

echo
echo "== the rating service answers (Quillon.exe and quillon-check under Wine)"
tools/wine/wine-session.sh bash -c '
  source tools/wine/wine-paths.sh
  status=0
  "$WINE" "$0/quillon-check.exe" \
    http://www.example.com/ \
    https://shop.example.net/cart \
    http://forum.example.com/t/42 \
    http://www.freebies.example/claim-your-prize \
    http://unknown-site.example/ \
    "Z:$1/FreeScreensaver.exe" "Z:$1/ExampleViewerSetup.exe" "Z:$1/unknown-tool.exe" || status=$?
  "$WINE" "$0/Quillon.exe" /stop || true
  exit $status
' "$bin" "$samples"

echo "== the 32-bit product (i686, static runtime) is in $(pwd)/build/win32/bin:"
ls build/win32/bin/Quillon.exe build/win32/bin/Scripts/*.mrg build/win32/bin/elist.dat 2>/dev/null | sed 's/^/  /'
echo "QuillonIE.dll, the add-on module itself, is not built yet."
