// The safety balloon of a browser window: a borderless, rounded, slightly
// transparent pop-up with a bold title, the verdict text, a close button and
// the links "View site details" and "Never warn on this site". The decision
// matrix fills it with every verdict and shows it by itself for WARN pages
// and forms (once per site and text, a second after the verdict); the status
// button shows it on request. With the band visible it hangs below the
// status button with a pointer; otherwise it sits in a top corner of the
// browser window. A thread hook moves it whenever a window of the thread moves.
//
// Embedded in the browser helper, which creates its window and outlives it.
// Everything runs on the browser window's thread.
#pragma once

#include "ie/Evaluation/IBalloonDisplay.h"
#include "ie/UI/BalloonLayout.h"
#include "ie/UI/BalloonShowRules.h"
#include "utils/Bitmap/UBMPWnd.h"
#include "utils/Ownership/WinOwnership.h"
#include "utils/Widgets/ULinkNotify.h"
#include "utils/Widgets/UTextWnd.h"
#include "utils/Widgets/UTransparencyMgr.h"

#include <windows.h>

#include <string>

class IBalloonAnchor;
class IBalloonHost;

class CInfoBalloon final : public IBalloonDisplay, public ULinkNotify {
public:
    static constexpr UINT kHideMessage = 0x802A;  // 32810: the close button was clicked
    static constexpr UINT_PTR kDelayTimer = 49;
    static constexpr UINT_PTR kAutoHideTimer = 50;
    static constexpr int kOpacityPercent = 97;
    static constexpr char kTitle[] = "Quillon Safety Info";
    static constexpr char kDetailsText[] = "View site details";
    static constexpr char kNeverWarnText[] = "Never warn on this site";
    enum Action : int { kViewDetails = 0, kNeverWarn = 1 };

    CInfoBalloon();
    // Destroys the window if it still exists.
    ~CInfoBalloon();
    CInfoBalloon(const CInfoBalloon&) = delete;
    CInfoBalloon& operator=(const CInfoBalloon&) = delete;

    // The browser helper that owns this balloon; null is refused (reported).
    void SetBHO(IBalloonHost* host);
    // Creates the hidden pop-up window, owned by `owner` so that it stays
    // above the browser. False (reported) on failure.
    bool Create(HWND owner, const char* title);
    void Destroy();
    HWND Window() const { return window_; }

    // IBalloonDisplay
    void Hide() override;
    void Set(int colour, int verdict, const std::string& text, const std::string& site) override;
    void Show(int mode) override;
    // Hides the window only: it may come back for the same verdict.
    void HideWindow();

    // ULinkNotify: the two links.
    void DoAction(int action) override;

    // Moves the balloon where it belongs now.
    void Position();

    // Tests hang the balloon from a stand-in band (null: the thread's band)
    // and shorten the timers.
    void SetAnchor(IBalloonAnchor* anchor) { anchor_ = anchor; }
    void SetTimerIntervals(UINT delayMs, UINT autoHideMs, UINT onRequestMs);

    // State, for tests.
    bool Anchored() const { return anchored_; }
    bool PointerOnRight() const { return pointerOnRight_; }
    const BalloonGeometry& Geometry() const { return geometry_; }
    const BalloonColours& Colours() const { return colours_; }
    const CBalloonShowRules& Rules() const { return rules_; }
    HWND CloseButtonWindow() const { return close_.Window(); }
    const std::string& TitleText() const { return title_.Text(); }
    const std::string& BodyText() const { return body_.Text(); }
    HWND DetailsLinkWindow() const { return details_.Window(); }
    HWND NeverWarnLinkWindow() const { return neverWarn_.Window(); }
    bool Hooked() const { return hook_.IsValid(); }

private:
    // The close button tells the balloon to hide when it is clicked.
    class CloseButton : public UBMPWnd {
    protected:
        void MouseUp(POINT point) override;
    };

    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK MoveHookProc(int code, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCreate();
    void OnDestroy();
    void OnTimer(UINT_PTR timerId);
    void Paint(HDC dc);
    void ShowNow();
    void Layout();
    void ApplyRegion();
    bool PointerStays() const;
    IBalloonAnchor& Anchor() const;
    HWND BrowserTopWindow() const;

    UTransparencyMgr transparency_;
    win::UniqueHook hook_;
    IBalloonHost* host_ = nullptr;
    IBalloonAnchor* anchor_ = nullptr;
    int colour_ = -1;
    int verdict_ = CBalloonShowRules::kNoVerdict;
    std::string text_;
    std::string site_;
    int width_ = 0;
    int height_ = 0;
    bool pointerOnRight_ = false;
    bool anchored_ = false;
    CBalloonShowRules rules_;
    CloseButton close_;
    UTextWnd title_;
    UTextWnd body_;
    UTextWnd details_;
    UTextWnd neverWarn_;
    BalloonGeometry geometry_;
    BalloonColours colours_;
    HWND window_ = nullptr;
    bool positioning_ = false;  // Position moves windows of the thread itself
    UINT delayMs_ = CBalloonShowRules::kDelayMs;
    UINT autoHideMs_ = CBalloonShowRules::kAutoHideMs;
    UINT onRequestMs_ = CBalloonShowRules::kOnRequestCheckMs;
};
