#include "ie/Browser/DocumentWindowHook.h"

#include <commctrl.h>

namespace {

// Identifies our subclass among others on the same window.
constexpr UINT_PTR kSubclassId = 0x51554C4C;  // "QULL"

}  // namespace

bool CDocumentWindowHook::Hook(HWND browserWindow) {
    if (window_)
        return true;
    const HWND view = ::FindWindowExA(browserWindow, nullptr, kFrameChild, nullptr);
    const HWND document = view ? ::FindWindowExA(view, nullptr, kDocumentClass, nullptr) : nullptr;
    // Subclassing works only from the window's own thread.
    if (!document || ::GetWindowThreadProcessId(document, nullptr) != ::GetCurrentThreadId())
        return false;
    if (!::SetWindowSubclass(document, &CDocumentWindowHook::SubclassProcedure, kSubclassId,
                             reinterpret_cast<DWORD_PTR>(this)))
        return false;
    window_ = document;
    return true;
}

void CDocumentWindowHook::Unhook() {
    if (!window_)
        return;
    if (::IsWindow(window_))
        ::RemoveWindowSubclass(window_, &CDocumentWindowHook::SubclassProcedure, kSubclassId);
    window_ = nullptr;
}

LRESULT CALLBACK CDocumentWindowHook::SubclassProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                                        UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<CDocumentWindowHook*>(data);
    // The page must see its input whatever happens to ours.
    try {
        switch (message) {
        case WM_LBUTTONUP:
        case WM_MBUTTONUP:
        case WM_RBUTTONUP:
            self->listener_.OnDocumentClick();
            break;
        case WM_CHAR:
            self->listener_.OnDocumentCharacter();
            break;
        case WM_NCDESTROY:
            ::RemoveWindowSubclass(window, &CDocumentWindowHook::SubclassProcedure, kSubclassId);
            self->window_ = nullptr;
            break;
        default:
            break;
        }
    } catch (...) {
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}
