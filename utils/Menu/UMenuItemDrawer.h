// The drawing object of an owner-drawn menu item: UMenu finds it by the
// item's command id and passes it the system's requests.
#pragma once

#include <windows.h>

class UMenuItemDrawer {
public:
    virtual void MeasureItem(MEASUREITEMSTRUCT& item) = 0;
    virtual void DrawItem(const DRAWITEMSTRUCT& item) = 0;

protected:
    ~UMenuItemDrawer() = default;  // the menu never owns its drawers
};
