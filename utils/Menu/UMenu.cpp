#include "utils/Menu/UMenu.h"

#include "utils/Diagnostics/ReportAssert.h"
#include "utils/Menu/UMenuItemDrawer.h"
#include "utils/Ownership/WinOwnership.h"
#include "utils/Window/UWindowClass.h"

#include <vector>

namespace {

constexpr char kOwnerClassName[] = "QuillonMenuOwner";

}  // namespace

UMenu::~UMenu() {
    Destroy();
}

bool UMenu::Load(HMODULE module, UINT id) {
    Destroy();
    menu_ = ::LoadMenuA(module, MAKEINTRESOURCEA(id));
    if (!menu_) {
        REPORT_ASSERT("UMenu::Load", "Couldn't load menu from resource");
        return false;
    }
    useFirstSubmenu_ = true;
    return true;
}

void UMenu::Destroy() {
    if (menu_)
        ::DestroyMenu(menu_);  // with its submenus
    menu_ = nullptr;
    useFirstSubmenu_ = false;
}

HMENU UMenu::Popup() const {
    if (!menu_)
        return nullptr;
    const HMENU first = useFirstSubmenu_ ? ::GetSubMenu(menu_, 0) : nullptr;
    return first ? first : menu_;
}

bool UMenu::CheckLoaded(const char* method) const {
    if (menu_)
        return true;
    REPORT_ASSERT(method, "Menu not initialized");
    return false;
}

bool UMenu::EnableItem(UINT id, bool on) {
    if (!CheckLoaded("UMenu::EnableItem"))
        return false;
    return ::EnableMenuItem(menu_, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED)) != -1;
}

bool UMenu::SetItemText(UINT id, const std::string& text) {
    if (!CheckLoaded("UMenu::SetItemText"))
        return false;
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STRING;
    item.dwTypeData = buffer.data();
    if (!::SetMenuItemInfoA(menu_, id, FALSE, &item)) {
        REPORT_ASSERT("UMenu::SetItemText", "SetMenuItemInfo failed");
        return false;
    }
    return true;
}

bool UMenu::SetItemDrawer(UINT id, UMenuItemDrawer* drawer) {
    if (!CheckLoaded("UMenu::SetItemDrawer"))
        return false;
    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE | MIIM_DATA;
    if (!::GetMenuItemInfoA(menu_, id, FALSE, &item)) {
        REPORT_ASSERT("UMenu::SetItemDrawer", "GetMenuItemInfo failed");
        return false;
    }
    item.fType = drawer ? (item.fType | MFT_OWNERDRAW) : (item.fType & ~MFT_OWNERDRAW);
    item.dwItemData = reinterpret_cast<ULONG_PTR>(drawer);
    if (!::SetMenuItemInfoA(menu_, id, FALSE, &item)) {
        REPORT_ASSERT("UMenu::SetItemDrawer", "SetMenuItemInfo failed");
        return false;
    }
    return true;
}

UINT UMenu::TrackPopupMenu(int x, int y, UINT align) {
    if (!CheckLoaded("UMenu::TrackPopupMenu"))
        return 0;
    static const UWindowClass ownerClass(kOwnerClassName, &UMenu::OwnerProcedure);
    if (!ownerClass.Registered())
        return 0;  // reported at registration
    // Hidden and never shown; it only takes the menu's messages.
    const win::UniqueWindow owner(::CreateWindowExA(0, kOwnerClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr,
                                                    nullptr, ownerClass.Instance(), this));
    if (!owner) {
        REPORT_ASSERT("UMenu::TrackPopupMenu", "Could not create the owner window");
        return 0;
    }
    ::SetLastError(ERROR_SUCCESS);
    const UINT command = static_cast<UINT>(
        ::TrackPopupMenu(Popup(), align | TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, owner.Get(), nullptr));
    if (command == 0 && ::GetLastError() != ERROR_SUCCESS)
        REPORT_ASSERT("UMenu::TrackPopupMenu", "TrackPopupMenu failed");
    return command;
}

UMenuItemDrawer* UMenu::ItemFromId(UINT id) const {
    if (!CheckLoaded("UMenu::ItemFromId"))
        return nullptr;
    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_DATA;
    if (!::GetMenuItemInfoA(menu_, id, FALSE, &item)) {
        REPORT_ASSERT("UMenu::ItemFromId", "GetMenuItemInfo failed");
        return nullptr;
    }
    return reinterpret_cast<UMenuItemDrawer*>(item.dwItemData);
}

bool UMenu::OnDrawItem(LPARAM lParam) {
    const auto* request = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (!request) {
        REPORT_ASSERT("UMenu::OnDrawItem", "NULL LPARAM");
        return false;
    }
    if (request->CtlType != ODT_MENU)
        return false;
    UMenuItemDrawer* drawer = ItemFromId(request->itemID);
    if (!drawer)
        return false;
    drawer->DrawItem(*request);
    return true;
}

bool UMenu::OnMeasureItem(LPARAM lParam) {
    auto* request = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
    if (!request) {
        REPORT_ASSERT("UMenu::OnMeasureItem", "NULL LPARAM");
        return false;
    }
    if (request->CtlType != ODT_MENU)
        return false;
    UMenuItemDrawer* drawer = ItemFromId(request->itemID);
    if (!drawer)
        return false;
    drawer->MeasureItem(*request);
    return true;
}

LRESULT CALLBACK UMenu::OwnerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE)
        ::SetWindowLongPtrA(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams));
    auto* self = reinterpret_cast<UMenu*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self && (message == WM_DRAWITEM || message == WM_MEASUREITEM)) {
        try {
            const bool handled = message == WM_DRAWITEM ? self->OnDrawItem(lParam) : self->OnMeasureItem(lParam);
            if (handled)
                return TRUE;
        } catch (...) {
            REPORT_ASSERT(message == WM_DRAWITEM ? "UMenu::OnDrawItem" : "UMenu::OnMeasureItem", "Exception thrown");
            return TRUE;
        }
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}
