// quillon-browse's browser: a top-level browser window with a toolbar area
// and a page area, served by the browser object stand-in of tests/support,
// into which the add-on module is loaded the way the browser loads it:
// registered by regsvr32, its browser helpers created through COM from the
// browser-helper registration and sited with the browser object, its
// toolbar band created through COM from the toolbar registration, sited in
// the toolbar area and shown. Pages are loaded with the browser's events in
// the browser's order, and what the add-on did is read from the screen:
// the status button's face, balloons and alert dialogs.
//
// Everything runs on the one thread that created it, which must be a
// single-threaded COM apartment, as the browser's window thread is.
#pragma once

#include "tests/support/FakeBrowser.h"
#include "tests/support/WindowCapture.h"
#include "tools/BrowserHost/BandSite.h"
#include "tools/BrowserHost/PageContent.h"
#include "tools/BrowserHost/SessionReport.h"
#include "tools/BrowserHost/SessionScript.h"
#include "tools/BrowserHost/StatusFace.h"

#include <ocidl.h>
#include <shobjidl.h>

#include <memory>
#include <string>
#include <vector>

class CBrowserHost {
public:
    struct Settings {
        std::string module;        // the add-on module, a full path
        std::string outputFolder;  // where pictures go, with a trailing backslash
        DWORD serviceWaitMs = 20000;
    };

    explicit CBrowserHost(Settings settings);
    ~CBrowserHost();
    CBrowserHost(const CBrowserHost&) = delete;
    CBrowserHost& operator=(const CBrowserHost&) = delete;

    // Registers the module, opens the window and loads the add-on into it.
    // False with `error` when the add-on cannot be loaded at all.
    bool Open(std::string& error);
    // Plays one step, takes its picture (`picture`, a file name in the output
    // folder) and tells what the add-on did.
    StepOutcome Play(const SessionStep& step, int number, const std::string& picture);
    // Quits the browser window as the browser does, which unloads the add-on.
    void Close();

    // How the toolbar band came up: empty when shown, else why it is not.
    const std::string& BandProblem() const { return bandProblem_; }
    // The status button in the last picture, in its coordinates (empty without one).
    const RECT& ButtonInPicture() const { return buttonInPicture_; }

private:
    bool Register(std::string& error);
    void CreateWindows();
    void Layout();
    bool LoadHelpers(std::string& error);
    void LoadBand();
    bool WaitForService();

    // A page load in the browser's event order; `announced` when its
    // BeforeNavigate2 has been fired already (a navigation the add-on
    // asked for). False when the navigation was cancelled.
    bool Load(std::unique_ptr<CPageContent> content, bool announced);
    void PlayPage(const SessionStep& step, StepOutcome& outcome);
    void PlayTyping(const SessionStep& step, StepOutcome& outcome);
    // Lets the add-on finish: messages are pumped until the status button
    // shows a settled face for a while, or the time is up.
    void Settle(DWORD minimumMs);
    void Pump(DWORD milliseconds);
    std::string ReadStatus() const;
    void Observe(StepOutcome& outcome);
    void TakePicture(StepOutcome& outcome, const std::string& picture);
    std::unique_ptr<testing_support::WindowCapture> PictureOfWindows() const;

    // The alert is modal: it runs its own message loop inside ours, where
    // only this thread's timer reaches it.
    static void CALLBACK AlertTimer(HWND, UINT, UINT_PTR, DWORD);
    void CheckForAlert();

    static LRESULT CALLBACK PaintSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                          DWORD_PTR data);
    void PaintAddressBar(HDC dc, const RECT& client);
    void PaintPage(HWND window, HDC dc);
    void SubclassDocument();

    Settings settings_;
    win::ComPtr<testing_support::FakeBrowser> browser_;
    HWND toolbarArea_ = nullptr;
    std::vector<win::ComPtr<IObjectWithSite>> helpers_;
    win::ComPtr<CBandSite> bandSite_;
    win::ComPtr<IDeskBand> band_;
    HWND bandWindow_ = nullptr;
    std::string bandProblem_;
    std::unique_ptr<CStatusFaceReader> faces_;
    std::unique_ptr<CPageContent> page_;
    UINT_PTR alertTimer_ = 0;
    // What the alert check saw during the current step.
    HWND alertDialog_ = nullptr;
    ULONGLONG alertSince_ = 0;
    bool alertSeen_ = false;
    std::string alertText_;
    std::unique_ptr<testing_support::WindowCapture> alertPicture_;
    RECT buttonInPicture_ = {};
    win::UniqueFont titleFont_;
    win::UniqueFont textFont_;
};
