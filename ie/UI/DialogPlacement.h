// What every dialog of the toolbar does on start: the product icon as its
// large icon, and a place centred over the browser window.
#pragma once

#include <windows.h>

// Sets the product icon (shared, owned by the system) as the large icon.
void SetProductIcon(HWND dialog);
// Centres dialog over window; nothing when window is null or gone.
void CentreOver(HWND dialog, HWND window);
