#include "utils/Widgets/ParentBackground.h"

void PaintParentBackground(HWND child, HDC dc) {
    RECT client = {};
    ::GetClientRect(child, &client);
    ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
    const HWND parent = ::GetParent(child);
    if (!parent)
        return;
    POINT origin = {0, 0};
    ::MapWindowPoints(child, parent, &origin, 1);
    POINT previous = {};
    ::OffsetWindowOrgEx(dc, origin.x, origin.y, &previous);
    ::SendMessageA(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    // Only the client: asking for the children would come back here.
    ::SendMessageA(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    ::SetWindowOrgEx(dc, previous.x, previous.y, nullptr);
}
