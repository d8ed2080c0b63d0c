// The safety balloon with real windows, timers, hooks and GDI under a test
// host standing in for the browser helper, its browser window and the
// band's menu bar.
#include "ie/UI/IBalloonAnchor.h"
#include "ie/UI/IBalloonHost.h"
#include "ie/UI/InfoBalloon.h"
#include "tests/support/DiagnosticCapture.h"
#include "tests/support/FakeRatingService.h"
#include "tests/support/GuiResources.h"
#include "tests/support/HostWindow.h"
#include "tests/support/TestPaths.h"
#include "tests/support/WindowCapture.h"
#include "utils/Options/Options.h"

#include <gtest/gtest.h>

#include <iostream>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

using testing_support::PumpUntil;
using testing_support::WindowCapture;

constexpr RECT kBrowserRect = {100, 80, 900, 600};
// The menu bar in the browser's client area, right of its middle; the
// status button's face is its left 90 pixels.
constexpr RECT kMenuBarRect = {560, 10, 660, 32};
constexpr int kFaceWidth = 90;

// The browser helper as the balloon sees it: what it was asked to do.
class StandInHost final : public IBalloonHost {
public:
    explicit StandInHost(HWND browser) : browser_(browser) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HWND BrowserWindow() const override { return browser_; }
    bool IsOnDoNotWarnList(const std::string& site) override { return listed.count(site) != 0; }
    bool AddToDoNotWarnList(const std::string& site) override {
        calls.push_back("add " + site);
        listed.insert(site);
        return true;
    }
    bool OpenVendorPage(const std::string& pathAndQuery) override {
        calls.push_back("open " + pathAndQuery);
        return true;
    }
    bool SendFeedback() override {
        calls.push_back("feedback");
        return true;
    }

    std::set<std::string> listed;
    std::vector<std::string> calls;

private:
    HWND browser_;
};

// The band's menu bar: a child window of the browser stand-in.
class StandInAnchor final : public IBalloonAnchor {
public:
    explicit StandInAnchor(HWND browser)
        : menuBar_(::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, kMenuBarRect.left, kMenuBarRect.top,
                                     kMenuBarRect.right - kMenuBarRect.left, kMenuBarRect.bottom - kMenuBarRect.top,
                                     browser, nullptr, nullptr, nullptr)) {}
    ~StandInAnchor() { ::DestroyWindow(menuBar_); }
    HWND MenuBarWindow() override { return present ? menuBar_ : nullptr; }
    bool IsOnStatusFace(POINT point) override {
        RECT face = {};
        ::GetWindowRect(menuBar_, &face);
        face.right = face.left + kFaceWidth;
        return present && ::PtInRect(&face, point);
    }
    HWND Window() const { return menuBar_; }
    bool present = true;

private:
    HWND menuBar_;
};

RECT WindowRect(HWND window) {
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    return rect;
}

bool Visible(const CInfoBalloon& balloon) {
    return ::IsWindowVisible(balloon.Window()) != FALSE;
}

bool InRegion(HWND window, int x, int y) {
    win::UniqueRegion region(::CreateRectRgn(0, 0, 0, 0));
    return ::GetWindowRgn(window, region.Get()) != ERROR && ::PtInRegion(region.Get(), x, y);
}

void Click(HWND window) {
    ::SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    ::SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

void PumpFor(DWORD milliseconds) {
    PumpUntil([] { return false; }, milliseconds);
}

// One browser stand-in and balloon for all tests: destroying a shown
// top-level window costs seconds under Wine. Each test uses sites of its
// own, since the balloon remembers what it showed.
class InfoBalloonTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        browser_ = new testing_support::HostWindow(kBrowserRect, RGB(255, 255, 255));
        host_ = new StandInHost(browser_->Get());
        anchor_ = new StandInAnchor(browser_->Get());
        balloon_ = new CInfoBalloon();
        balloon_->SetBHO(host_);
        balloon_->SetAnchor(anchor_);
        balloon_->SetTimerIntervals(50, 300, 100);
        balloon_->Create(browser_->Get(), "Quillon alert");
    }
    static void TearDownTestSuite() {
        delete balloon_;
        delete anchor_;
        delete host_;
        delete browser_;
    }
    void SetUp() override {
        ASSERT_TRUE(balloon_->Window());
        balloon_->Hide();
        anchor_->present = true;
        ::ShowWindow(anchor_->Window(), SW_SHOWNA);
        ::SetWindowPos(browser_->Get(), nullptr, kBrowserRect.left, kBrowserRect.top,
                       kBrowserRect.right - kBrowserRect.left, kBrowserRect.bottom - kBrowserRect.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        host_->calls.clear();
    }

    // Shows on request and waits until it is up.
    static bool ShowOnRequest(int colour, int verdict, const std::string& text, const std::string& site) {
        balloon_->Set(colour, verdict, text, site);
        balloon_->Show(CBalloonShowRules::kOnRequest);
        return Visible(*balloon_);
    }

    static testing_support::HostWindow* browser_;
    static StandInHost* host_;
    static StandInAnchor* anchor_;
    static CInfoBalloon* balloon_;
};

testing_support::HostWindow* InfoBalloonTest::browser_ = nullptr;
StandInHost* InfoBalloonTest::host_ = nullptr;
StandInAnchor* InfoBalloonTest::anchor_ = nullptr;
CInfoBalloon* InfoBalloonTest::balloon_ = nullptr;

// What comes up by itself and what on request, with which links.
TEST_F(InfoBalloonTest, ShowingRulesAndLinks) {
    host_->listed = {"listed.example"};
    struct Case {
        const char* site;
        const char* text;
        int colour;
        int verdict;
        int mode;
        bool shows;
        bool details;
        bool neverWarn;
    };
    const Case cases[] = {
        {"warn.example", "Risky downloads", 2, 4, CBalloonShowRules::kAutomatic, true, true, true},
        {"warn.example", "Risky downloads", 2, 4, CBalloonShowRules::kAutomatic, false, false, false},  // once
        {"warn.example", "Risky downloads", 2, 4, CBalloonShowRules::kForm, false, false, false},
        {"warn.example", "Sends spam", 2, 4, CBalloonShowRules::kForm, true, true, true},  // another text
        {"listed.example", "Risky downloads", 2, 4, CBalloonShowRules::kAutomatic, false, false, false},
        {"listed.example", "Risky downloads", 2, 4, CBalloonShowRules::kOnRequest, true, true, false},
        {"new.example", "Not rated yet", 3, 99, CBalloonShowRules::kOnRequest, true, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.site << " / " << c.text << " mode " << c.mode);
        balloon_->Hide();  // a navigation
        balloon_->Set(c.colour, c.verdict, c.text, c.site);
        balloon_->Show(c.mode);
        if (c.mode != CBalloonShowRules::kOnRequest) {
            EXPECT_FALSE(Visible(*balloon_)) << "the delay first";
        }
        EXPECT_EQ(PumpUntil([&] { return Visible(*balloon_); }, c.shows ? 2000 : 200), c.shows);
        if (!c.shows)
            continue;
        EXPECT_EQ(::IsWindowVisible(balloon_->DetailsLinkWindow()) != FALSE, c.details);
        EXPECT_EQ(::IsWindowVisible(balloon_->NeverWarnLinkWindow()) != FALSE, c.neverWarn);
        char text[128] = {};
        ::GetWindowTextA(balloon_->Window(), text, sizeof text);
        EXPECT_STREQ(text, c.text);
        EXPECT_EQ(balloon_->BodyText(), c.text);
        EXPECT_EQ(balloon_->TitleText(), "Quillon Safety Info");
        EXPECT_NE(::GetForegroundWindow(), balloon_->Window()) << "shown without taking the focus";
        EXPECT_EQ(balloon_->Colours().region, c.colour == 2 ? RGB(240, 40, 23) : RGB(192, 192, 192));
    }
    // The automatic balloon goes after its time.
    balloon_->Hide();
    balloon_->Set(2, 4, "Phishing", "later.example");
    balloon_->Show(CBalloonShowRules::kAutomatic);
    ASSERT_TRUE(PumpUntil([&] { return Visible(*balloon_); }, 2000));
    EXPECT_TRUE(PumpUntil([&] { return !Visible(*balloon_); }, 2000));

    // A colour code outside 0-4 keeps the colours the balloon had.
    ASSERT_TRUE(ShowOnRequest(0, 1, "Fine", "green.example"));
    balloon_->Hide();
    ASSERT_TRUE(ShowOnRequest(7, 1, "Odd", "odd.example"));
    EXPECT_EQ(balloon_->Colours().region, RGB(173, 216, 126));
    EXPECT_EQ(balloon_->Colours().card, RGB(234, 245, 223));

    // "View site details", "Never warn on this site" and the close button.
    SetOption(OptionScope::MachineWide, "PIP", "true");
    testing_support::FakeRatingService service;
    Click(balloon_->DetailsLinkWindow());
    EXPECT_TRUE(Visible(*balloon_));
    Click(balloon_->NeverWarnLinkWindow());
    EXPECT_FALSE(Visible(*balloon_));
    EXPECT_EQ(host_->calls, (std::vector<std::string>{"open /sites/odd.example", "add odd.example"}));
    EXPECT_TRUE(service.WaitForNotices(1));
    EXPECT_EQ(service.Notices(), std::vector<std::string>{"type=whitelist&name=odd.example"});
    SetOption(OptionScope::MachineWide, "PIP", "false");
    ASSERT_TRUE(ShowOnRequest(1, 2, "Some", "yellow.example"));
    Click(balloon_->NeverWarnLinkWindow());
    PumpFor(100);
    EXPECT_EQ(service.Notices().size(), 1u) << "notices only in the improvement program";
    ASSERT_TRUE(ShowOnRequest(1, 2, "Some", "close.example"));
    Click(balloon_->CloseButtonWindow());
    EXPECT_FALSE(Visible(*balloon_));

    testing_support::DiagnosticCapture capture;
    balloon_->DoAction(5);
    ::SendMessageA(balloon_->Window(), WM_TIMER, 77, 0);
    balloon_->SetBHO(nullptr);
    EXPECT_TRUE(capture.Reported("CInfoBalloon::DoAction", "Unexpected action code"));
    EXPECT_TRUE(capture.Reported("CInfoBalloon::OnTimer", "Unknown timer ID"));
    EXPECT_TRUE(capture.Reported("CInfoBalloon::SetBHO", "NULL pointer"));
}

// Below the status button with the pointer up to it, or in the browser
// window's top corner; a move of any window of the thread moves it along.
TEST_F(InfoBalloonTest, PositionAndTheThreadHook) {
    ASSERT_TRUE(balloon_->Hooked());
    ASSERT_TRUE(ShowOnRequest(2, 4, "Where am I", "place.example"));
    const int width = balloon_->Geometry().width;
    const int height = balloon_->Geometry().height;
    RECT menuBar = WindowRect(anchor_->Window());
    RECT balloon = WindowRect(balloon_->Window());
    EXPECT_TRUE(balloon_->Anchored());
    EXPECT_TRUE(balloon_->PointerOnRight()) << "the band is right of the browser's middle";
    EXPECT_EQ(balloon.left, menuBar.right - width - 70);
    EXPECT_EQ(balloon.top, menuBar.bottom + 2);
    EXPECT_EQ(balloon.right - balloon.left, width);
    EXPECT_EQ(balloon.bottom - balloon.top, height);
    EXPECT_TRUE(InRegion(balloon_->Window(), width - 15, 13)) << "the pointer";
    EXPECT_FALSE(InRegion(balloon_->Window(), 15, 13));

    // The browser window moves: the menu bar with it, and the balloon follows.
    ::SetWindowPos(browser_->Get(), nullptr, kBrowserRect.left + 40, kBrowserRect.top + 30, 800, 520,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    menuBar = WindowRect(anchor_->Window());
    balloon = WindowRect(balloon_->Window());
    EXPECT_EQ(balloon.left, menuBar.right - width - 70);
    EXPECT_EQ(balloon.top, menuBar.bottom + 2);

    // The band moves to the left half: the balloon reaches right.
    ::SetWindowPos(anchor_->Window(), nullptr, 20, 10, 100, 22, SWP_NOZORDER | SWP_NOACTIVATE);
    menuBar = WindowRect(anchor_->Window());
    balloon = WindowRect(balloon_->Window());
    EXPECT_FALSE(balloon_->PointerOnRight());
    EXPECT_EQ(balloon.left, menuBar.left + 20);
    EXPECT_TRUE(InRegion(balloon_->Window(), 15, 13));
    EXPECT_FALSE(InRegion(balloon_->Window(), width - 15, 13));

    // The band is hidden: the browser's top corner nearer the screen's middle.
    ::SetWindowPos(browser_->Get(), nullptr, kBrowserRect.left, kBrowserRect.top,
                   kBrowserRect.right - kBrowserRect.left, kBrowserRect.bottom - kBrowserRect.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    ::ShowWindow(anchor_->Window(), SW_HIDE);
    const RECT browser = WindowRect(browser_->Get());
    balloon = WindowRect(balloon_->Window());
    EXPECT_FALSE(balloon_->Anchored());
    EXPECT_EQ(balloon.left, browser.left + 20) << "the browser is left of the work area's middle";
    EXPECT_EQ(balloon.top, browser.top + 20);
    EXPECT_EQ(balloon.bottom - balloon.top, height - 20) << "no room for a pointer";
    EXPECT_FALSE(InRegion(balloon_->Window(), 15, 3));
    ::SetWindowPos(browser_->Get(), nullptr, 400, 100, 600, 500, SWP_NOZORDER | SWP_NOACTIVATE);
    balloon = WindowRect(balloon_->Window());
    EXPECT_EQ(balloon.left, 400 + 600 - width - 20);
    EXPECT_EQ(balloon.top, 120);
    ::SetWindowPos(anchor_->Window(), nullptr, kMenuBarRect.left, kMenuBarRect.top, 100, 22,
                   SWP_NOZORDER | SWP_NOACTIVATE);

    // The band is closed (the map has none): no stale window is used.
    ::ShowWindow(anchor_->Window(), SW_SHOWNA);
    anchor_->present = false;
    balloon_->Position();
    EXPECT_FALSE(balloon_->Anchored());
    anchor_->present = true;
    balloon_->Position();
    EXPECT_TRUE(balloon_->Anchored());
}

// Asked for by the user, the balloon stays while the pointer rests on it or
// on the status button's face, and goes soon after it leaves both.
TEST_F(InfoBalloonTest, OnRequestItStaysUnderThePointer) {
    ASSERT_TRUE(ShowOnRequest(1, 2, "Hover me", "hover.example"));
    const RECT balloon = WindowRect(balloon_->Window());
    const RECT menuBar = WindowRect(anchor_->Window());
    ::SetCursorPos((balloon.left + balloon.right) / 2, (balloon.top + balloon.bottom) / 2);
    PumpFor(350);
    EXPECT_TRUE(Visible(*balloon_)) << "over the balloon";
    ::SetCursorPos(menuBar.left + 5, menuBar.top + 5);
    PumpFor(350);
    EXPECT_TRUE(Visible(*balloon_)) << "over the status button's face";
    ::SetCursorPos(10, 700);
    EXPECT_TRUE(PumpUntil([&] { return !Visible(*balloon_); }, 1000)) << "gone after the pointer left";
}

// Pictures of the balloon by verdict colour, checked by pixel and kept as PNG files.
TEST_F(InfoBalloonTest, ScreenshotsByColour) {
    const std::string folder = testing_support::ExecutableDirectory() + "screenshots\\";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    struct Case {
        int colour;
        const char* name;
        const char* text;
        COLORREF region;
        COLORREF card;
    };
    const Case cases[] = {
        {0, "green", "This site is certified safe to use.", RGB(173, 216, 126), RGB(234, 245, 223)},
        {1, "yellow", "This site sends a little more e-mail than most.", RGB(242, 237, 56), RGB(252, 250, 205)},
        {2, "red", "This site tried to install a program that changes your browser settings.", RGB(240, 40, 23),
         RGB(251, 201, 197)},
        {3, "grey", "We have not rated this site yet.", RGB(192, 192, 192), RGB(238, 238, 238)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        balloon_->Hide();
        ASSERT_TRUE(ShowOnRequest(c.colour, c.colour == 3 ? 3 : c.colour == 2 ? 4 : 1, c.text,
                                  std::string(c.name) + ".example"));
        PumpFor(50);
        const WindowCapture capture(balloon_->Window(), WindowCapture::Source::WindowDC);
        ASSERT_TRUE(capture.IsValid());
        const BalloonGeometry& g = balloon_->Geometry();
        const int middle = (g.card.top + g.card.bottom) / 2;
        EXPECT_EQ(capture.PixelAt(g.outline.left + 3, middle), c.region) << "the rim";
        EXPECT_EQ(capture.PixelAt(g.width - 14, 8), c.region) << "inside the pointer";
        EXPECT_EQ(capture.PixelAt(g.card.left + 2, g.card.bottom - 10), c.card) << "the card";
        EXPECT_NE(capture.PixelAt(1, 1), c.region) << "outside the rounded shape";
        EXPECT_NE(capture.PixelAt(g.outline.left, g.outline.bottom - 1), c.region) << "a rounded corner";
        EXPECT_GT(capture.CountPixels(RGB(0, 0, 255)), 20) << "the blue links";
        EXPECT_EQ(capture.SavePng(folder + "balloon-" + c.name + ".png"), S_OK);
    }
}

// Showing and hiding the balloon leaves no GDI or USER object behind.
TEST_F(InfoBalloonTest, AThousandShowsLeaveNoObjects) {
    // What the first shows and paints make once (the system's caches) is
    // made before counting; the counted rounds do exactly the same.
    const HDC screen = ::GetDC(nullptr);
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(ShowOnRequest(i % 5, 4, i % 2 ? "Odd" : "Even", "count.example"));
        ::SendMessageA(balloon_->Window(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(screen), PRF_CLIENT);
        balloon_->Hide();
    }
    const DWORD gdiBefore = testing_support::GdiObjectCount();
    const DWORD userBefore = testing_support::UserObjectCount();
    for (int i = 0; i < 1000; ++i) {
        ShowOnRequest(i % 5, 4, i % 2 ? "Odd" : "Even", "count.example");
        ::SendMessageA(balloon_->Window(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(screen), PRF_CLIENT);
        balloon_->Hide();
    }
    const DWORD gdiAfter = testing_support::GdiObjectCount();
    const DWORD userAfter = testing_support::UserObjectCount();
    std::cout << "GDI objects " << gdiBefore << " -> " << gdiAfter << ", USER objects " << userBefore << " -> "
              << userAfter << std::endl;
    ::ReleaseDC(nullptr, screen);
    EXPECT_LE(gdiAfter, gdiBefore);
    EXPECT_LE(userAfter, userBefore);
}

// The hook belongs to the balloon: made with its window, gone with it.
TEST(InfoBalloonLifeTest, HookLivesWithTheWindow) {
    std::thread([] {
        CInfoBalloon balloon;
        EXPECT_TRUE(balloon.Create(nullptr, "Quillon alert"));
        EXPECT_TRUE(balloon.Hooked());
        EXPECT_TRUE(balloon.CloseButtonWindow());
        EXPECT_EQ(::GetWindowLongA(balloon.Window(), GWL_EXSTYLE) & WS_EX_LAYERED, WS_EX_LAYERED);
        BYTE alpha = 0;
        DWORD flags = 0;
        EXPECT_TRUE(::GetLayeredWindowAttributes(balloon.Window(), nullptr, &alpha, &flags));
        EXPECT_EQ(alpha, 247);
        balloon.Destroy();
        EXPECT_FALSE(balloon.Window());
        EXPECT_FALSE(balloon.Hooked());
        // A balloon made later on the thread gets the hook again.
        CInfoBalloon again;
        EXPECT_TRUE(again.Create(nullptr, "Quillon alert"));
        EXPECT_TRUE(again.Hooked());
    }).join();
}

}  // namespace
