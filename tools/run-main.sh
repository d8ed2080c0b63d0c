#!/usr/bin/env bash
# The main job for now: builds the 32-bit product and the 64-bit build, and
# says where their files are. The add-on module and the rating service
# program arrive with later work; until then the build holds the runtime
# libraries and their test programs, and nothing here pretends otherwise.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash tools/setup.sh
for preset in win32 win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

echo
echo "32-bit product build (i686, static runtime): $(pwd)/build/win32"
echo "64-bit build, tested under Wine:            $(pwd)/build/win64"
echo
echo "Built so far: the runtime library and the test programs:"
ls build/win32/bin/*.exe | sed 's/^/  /'
echo "QuillonIE.dll and Quillon.exe are not built yet."
