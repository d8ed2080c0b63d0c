// The status button: a 90 x 18 bitmap button that shows the site verdict by
// colour, opens the site's report when its face is clicked, opens the
// product menu when its arrow (the rightmost 11 pixels) is clicked, and
// shows the safety balloon while the pointer rests on the face.
//
// It keeps no pointer to the browser helper: the helper is looked up for
// the thread at each use, and held only across the menu and the dialogs it
// opens, which run modal loops while browser events go on. Its timers, its
// tooltip window and the face bitmaps die with it.
#pragma once

#include "ie/UI/IUIHost.h"
#include "utils/Bitmap/UBMPWnd.h"

#include <windows.h>

#include <functional>
#include <string>

class CMenuBarWnd;
class UMenu;

class CStatusButton : public UBMPWnd {
public:
    static constexpr UINT_PTR kBalloonTimer = 44;
    static constexpr UINT kBalloonInterval = 500;  // ms
    static constexpr UINT_PTR kReEnableTimer = 57;
    static constexpr UINT kReEnableInterval = 10;  // ms
    static constexpr int kReEnableTicks = 200;
    static constexpr int kArrowWidth = 11;
    static constexpr int kFrameCount = 3;
    // Clicks that arrive this soon after the menu closed are the click that
    // closed it, not a new one.
    static constexpr DWORD kReopenPause = 9;  // ms
    static constexpr UINT kReEnableTool = 42;
    static constexpr UINT kServiceDownTool = 43;
    static constexpr char kReEnableText[] = "Quillon will be renabled when you next browse.";
    static constexpr char kServiceDownText[] =
        "Quillon ratings are unavailable: the rating service is not running.";

    // Stands in for the modal menu: gets the prepared menu, the point and
    // alignment it would open at, and answers the command picked (0 none).
    using MenuTracker = std::function<int(HMENU menu, POINT at, UINT alignment)>;

    CStatusButton(CMenuBarWnd& menuBar, IUnknown* owner);
    ~CStatusButton() override;

    // Shows a face: frameCount frames of bitmap resource id, as a button or
    // as a plain picture. False (reported) when the bitmap cannot be loaded.
    bool ShowFace(UINT id, int frameCount, bool asButton);
    UINT Face() const { return face_; }

    // The balloon on request (byUser) or hidden.
    void ShowBalloon(bool byUser);
    // The tooltip that says the add-on comes back at the next page.
    void ShowReEnable();
    // Opens the report page of the site on display.
    void ViewSiteDetails(IUIHost& host);
    // The tooltip over the button that says ratings are unavailable.
    void ShowServiceDown(bool down);
    // Destroys the tooltip window; the button's window goes with its parent.
    void DestroyTooltip();

    // Whether a client point lies on the face (not on the arrow strip).
    bool IsOnFace(POINT point) const;

    // The do-not-warn list dialog of this module, for every status button.
    static void SetListEditor(IUIHost::ListEditor editor);

    // For tests.
    void SetMenuTracker(MenuTracker tracker) { menuTracker_ = std::move(tracker); }
    HWND TooltipWindow() const { return tooltip_; }
    bool MenuOpen() const { return menuOpen_; }
    int TooltipTicks() const { return tooltipTicks_; }

protected:
    bool MouseDown(POINT point) override;
    void MouseMove(POINT point) override;
    void TimerElapsed(UINT_PTR timerId) override;

private:
    void RunMenu(IUIHost& host);
    void PrepareMenu(UMenu& menu, IUIHost& host);
    int TrackMenu(HMENU menu, POINT at, UINT alignment);
    void RunCommand(int command, IUIHost& host);
    void OpenPage(IUIHost& host, const char* path);
    void ToggleEnabled(IUIHost& host);
    void RunSettings(IUIHost& host);
    bool StillOpen(HWND window) const;
    void OnBalloonTimer();
    void OnReEnableTimer();
    bool CreateTooltip();
    bool AddTool(UINT id, UINT flags, const char* text);

    CMenuBarWnd& menuBar_;
    IUnknown* const owner_;
    UINT face_ = 0;
    bool menuOpen_ = false;
    bool menuClosed_ = false;  // once: the tick below is set
    DWORD menuClosedTick_ = 0;
    HWND tooltip_ = nullptr;
    int tooltipTicks_ = 0;
    bool serviceDownTool_ = false;
    MenuTracker menuTracker_;
};
