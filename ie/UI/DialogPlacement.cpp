#include "ie/UI/DialogPlacement.h"

#include "ie/Module/ModuleLock.h"
#include "ie/res/ResourceIds.h"

void SetProductIcon(HWND dialog) {
    // LoadIcon's icons are shared: nobody destroys them.
    const HICON icon = ::LoadIconA(ModuleInstance(), MAKEINTRESOURCEA(IDI_QUILLON));
    if (icon)
        ::SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
}

void CentreOver(HWND dialog, HWND window) {
    RECT over = {};
    RECT own = {};
    if (!window || !::IsWindow(window) || !::GetWindowRect(window, &over) || !::GetWindowRect(dialog, &own))
        return;
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    const int x = over.left + ((over.right - over.left) - width) / 2;
    const int y = over.top + ((over.bottom - over.top) - height) / 2;
    ::SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
