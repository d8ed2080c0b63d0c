# Locates the 64-bit Wine loader and server; Debian keeps them out of PATH
# unless the "wine" wrapper package is installed.
WINE=$(command -v wine64 2>/dev/null || echo /usr/lib/wine/wine64)
WINESERVER=$(command -v wineserver64 2>/dev/null || true)
[[ -n "$WINESERVER" ]] || WINESERVER=$(command -v wineserver 2>/dev/null || true)
[[ -n "$WINESERVER" ]] || WINESERVER=/usr/lib/wine/wineserver64
export WINE WINESERVER
