// A pop-up menu loaded from a menu resource, of which the first submenu is
// shown (a menu resource holds a menu bar; its first entry is the pop-up).
// The loaded menu is owned and destroyed with this object.
//
// TrackPopupMenu runs the system's modal menu loop with a hidden owner
// window of its own, so no window of the caller has to take the menu's
// messages, and returns the chosen command instead of posting it.
//
//   UMenu menu;
//   menu.Load(module, IDR_PRODUCT_MENU);
//   menu.EnableItem(ID_SETTINGS, false);
//   const UINT command = menu.TrackPopupMenu(x, y, TPM_RIGHTALIGN | TPM_TOPALIGN);
#pragma once

#include <windows.h>

#include <string>

class UMenuItemDrawer;

class UMenu {
public:
    UMenu() = default;
    ~UMenu();
    UMenu(const UMenu&) = delete;
    UMenu& operator=(const UMenu&) = delete;

    // Replaces the menu by resource `id` of `module` and marks its first
    // submenu for use. False (reported) when it cannot be loaded.
    bool Load(HMODULE module, UINT id);
    void Destroy();
    bool IsLoaded() const { return menu_ != nullptr; }
    // The pop-up that is shown: the first submenu, or the menu itself when
    // it has none.
    HMENU Popup() const;

    // By command id, also in nested submenus. Without a loaded menu they
    // report "Menu not initialized".
    bool EnableItem(UINT id, bool on);
    bool SetItemText(UINT id, const std::string& text);
    // Makes an item owner-drawn by `drawer` (not owned; must outlive the menu).
    bool SetItemDrawer(UINT id, UMenuItemDrawer* drawer);

    // Shows the menu at screen point (x, y) with TPM_ alignment flags and
    // waits for the choice. Returns the command, 0 for none (reported when
    // the system says it failed).
    UINT TrackPopupMenu(int x, int y, UINT align);

    // The owner window's WM_DRAWITEM and WM_MEASUREITEM, passed to the
    // item's drawer. True when a drawer took it.
    bool OnDrawItem(LPARAM lParam);
    bool OnMeasureItem(LPARAM lParam);
    // The drawer of item `id`; null (reported "GetMenuItemInfo failed" when
    // the item cannot be read) without one.
    UMenuItemDrawer* ItemFromId(UINT id) const;

private:
    static LRESULT CALLBACK OwnerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool CheckLoaded(const char* method) const;

    HMENU menu_ = nullptr;
    bool useFirstSubmenu_ = false;
};
