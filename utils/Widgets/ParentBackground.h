// Transparent child windows (bitmaps with holes, text over the balloon) draw
// over what their parent shows beneath them. The parent is asked to paint
// that part into the child's DC, the way themed controls do: WM_ERASEBKGND,
// then WM_PRINTCLIENT, with the origin moved to the child's place.
#pragma once

#include <windows.h>

// Fills the client area of `child` in `dc` with its parent's background
// (the button face colour first, for parents that paint nothing).
void PaintParentBackground(HWND child, HDC dc);
