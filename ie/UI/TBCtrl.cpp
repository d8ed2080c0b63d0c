#include "ie/UI/TBCtrl.h"

#include "utils/Diagnostics/ReportAssert.h"

#include <commctrl.h>

namespace {

constexpr UINT_PTR kSubclassId = 1;

bool CommonControlsReady() {
    static const bool ready = [] {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
        return ::InitCommonControlsEx(&controls) != FALSE;
    }();
    return ready;
}

}  // namespace

CTBCtrl::~CTBCtrl() {
    Destroy();
}

bool CTBCtrl::Create(const RECT& rect, HWND parent) {
    try {
        if (window_) {
            REPORT_ASSERT("CTBCtrl::Create", "Already created");
            return false;
        }
        CommonControlsReady();
        window_ = ::CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr, kStyle, rect.left, rect.top,
                                    rect.right - rect.left, rect.bottom - rect.top, parent,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kControlId)), nullptr, nullptr);
        if (!window_) {
            REPORT_ASSERT("CTBCtrl::Create", "Failed to create");
            return false;
        }
        ::SetWindowSubclass(window_, &CTBCtrl::Subclass, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
        RECT slot = {};
        if (!AddSlot(slot))
            return true;
        if (!menuBar_.Create(window_, slot))
            REPORT_ASSERT("CTBCtrl::Create", "Failed to create menu bar window");
    } catch (...) {
        REPORT_ASSERT("CTBCtrl::Create", "Exception thrown");
    }
    return true;
}

bool CTBCtrl::AddSlot(RECT& slot) {
    // The structure's size differs between 32- and 64-bit builds.
    ::SendMessageA(window_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    TBBUTTON button = {};
    button.iBitmap = kSlotWidth;  // a separator's width
    button.idCommand = kSlotCommand;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = BTNS_SEP;
    if (!::SendMessageA(window_, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button))) {
        REPORT_ASSERT("CTBCtrl::Create", "Couldn't add the menu bar's slot");
        return false;
    }
    if (!::SendMessageA(window_, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&slot))) {
        REPORT_ASSERT("CTBCtrl::Create", "Couldn't read the menu bar's slot");
        return false;
    }
    slot.right = slot.left + kSlotWidth;
    return true;
}

void CTBCtrl::Destroy() {
    menuBar_.Destroy();
    if (window_)
        ::DestroyWindow(window_);  // WM_NCDESTROY clears window_
    window_ = nullptr;
}

LRESULT CALLBACK CTBCtrl::Subclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                   DWORD_PTR data) {
    auto* control = reinterpret_cast<CTBCtrl*>(data);
    try {
        switch (message) {
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            if (control->focusListener_)
                control->focusListener_(message == WM_SETFOCUS);
            break;
        case WM_NCDESTROY:
            ::RemoveWindowSubclass(window, &CTBCtrl::Subclass, kSubclassId);
            control->window_ = nullptr;
            break;
        default:
            break;
        }
    } catch (...) {
        REPORT_ASSERT("CTBCtrl::Subclass", "Exception thrown");
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}
