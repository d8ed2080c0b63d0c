#include "utils/Widgets/UTransparencyMgr.h"

#include "utils/Diagnostics/ReportAssert.h"

#include <algorithm>

BYTE UTransparencyMgr::AlphaFromPercent(int percent) {
    return static_cast<BYTE>(std::clamp(percent, 0, 100) * 255 / 100);
}

bool UTransparencyMgr::CheckInit() {
    if (initialised_)
        return setLayeredWindowAttributes_ != nullptr;
    initialised_ = true;
    user32_.Reset(::LoadLibraryA("USER32.DLL"));
    const FARPROC address = user32_ ? ::GetProcAddress(user32_.Get(), "SetLayeredWindowAttributes") : nullptr;
    if (!address) {
        REPORT_ASSERT("UTransparencyMgr::CheckInit", "Could not load USER32.DLL");
        return false;
    }
    setLayeredWindowAttributes_ =
        reinterpret_cast<SetLayeredWindowAttributesFunction>(reinterpret_cast<void (*)()>(address));
    return true;
}

bool UTransparencyMgr::SetTransparency(int percent) {
    if (!window_) {
        REPORT_ASSERT("UTransparencyMgr::SetTransparency", "NULL pointer");
        return false;
    }
    if (!CheckInit())
        return false;
    const LONG_PTR style = ::GetWindowLongPtrA(window_, GWL_EXSTYLE);
    ::SetWindowLongPtrA(window_, GWL_EXSTYLE, style | WS_EX_LAYERED);
    if (!setLayeredWindowAttributes_(window_, 0, AlphaFromPercent(percent), LWA_ALPHA)) {
        REPORT_ASSERT("UTransparencyMgr::SetTransparency", "SetLayeredWindowAttributes failed");
        return false;
    }
    return true;
}
