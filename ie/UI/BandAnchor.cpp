#include "ie/UI/IBalloonAnchor.h"

#include "ie/Module/RunningBrowserMap.h"
#include "ie/UI/MenuBarWnd.h"
#include "ie/UI/Toolbar.h"

namespace {

// The thread's toolbar band, looked up in the running-browser map at each
// call: the user may close the band and open a new one at any time, and a
// pointer kept from before would dangle.
class CBandAnchor final : public IBalloonAnchor {
public:
    HWND MenuBarWindow() override {
        CMenuBarWnd* menuBar = ThreadMenuBar();
        return menuBar ? menuBar->Window() : nullptr;
    }

    bool IsOnStatusFace(POINT screenPoint) override {
        CMenuBarWnd* menuBar = ThreadMenuBar();
        if (!menuBar)
            return false;
        CStatusButton& button = menuBar->Button();
        if (!button.Window() || !::IsWindowVisible(button.Window()))
            return false;
        POINT point = screenPoint;
        return ::ScreenToClient(button.Window(), &point) && button.IsOnFace(point);
    }

private:
    static CMenuBarWnd* ThreadMenuBar() {
        CToolbar* band = RunningBrowserMap().GetToolbar(::GetCurrentThreadId());
        return band ? band->MenuBar() : nullptr;
    }
};

}  // namespace

IBalloonAnchor& ThreadBandAnchor() {
    static CBandAnchor anchor;
    return anchor;
}
