// The status button in a band beside a browser helper: its faces, frames,
// clicks, menu and commands, the re-enable tooltip, the service-down state,
// and what happens when the band or the helper goes while it is in use.
#include "ie/UI/tests/UITesting.h"

#include "ie/Evaluation/Evaluator.h"
#include "ie/Module/ModuleLock.h"
#include "ie/Module/RunningBrowserMap.h"
#include "ie/UI/IBalloonAnchor.h"
#include "ie/res/ResourceIds.h"
#include "tests/support/DiagnosticCapture.h"
#include "tests/support/GuiResources.h"
#include "tests/support/WindowCapture.h"
#include "utils/Options/Options.h"
#include "utils/iRPC/Verdict.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>

using testing_support::FakeRatingService;
using ui_testing::BandFixture;
using ui_testing::LaunchRecord;
using ui_testing::PumpFor;
using ui_testing::PumpUntil;

namespace {

constexpr char kSiteBase[] = "http://vendor.example";

FakeRatingService::Site SiteRated(const std::string& name, int code, int colour) {
    FakeRatingService::Site site;
    site.verdict.name = name;
    site.verdict.code = code;
    site.verdict.color = colour;
    site.verdict.description = name + " verdict";
    site.facts.baseDomain = name;
    return site;
}

// What a sampled pixel looks like.
enum class Hue { kGreen, kRed, kAmber, kBlue, kGrey, kLight, kDark };

const char* HueName(Hue hue) {
    static const char* const names[] = {"green", "red", "amber", "blue", "grey", "light", "dark"};
    return names[static_cast<int>(hue)];
}

bool Looks(COLORREF pixel, Hue hue) {
    const int r = GetRValue(pixel);
    const int g = GetGValue(pixel);
    const int b = GetBValue(pixel);
    const int high = std::max(r, std::max(g, b));
    const int low = std::min(r, std::min(g, b));
    switch (hue) {
    case Hue::kGreen:
        return g > r + 40 && g > b + 20;
    case Hue::kRed:
        return r > g + 60 && r > b + 60;
    case Hue::kAmber:
        return r > 150 && g > 90 && r > b + 100;
    case Hue::kBlue:
        return b > r + 40;
    case Hue::kGrey:
        return high - low < 25 && high >= 110 && high < 200;
    case Hue::kLight:
        return high - low < 25 && high >= 200;
    case Hue::kDark:
        return high - low < 25 && high < 110;
    }
    return false;
}

// Screenshots go to the folder this names (e.g. the repository's
// docs/screenshots), when it is set.
std::string ScreenshotFolder() {
    char folder[MAX_PATH] = {};
    const DWORD length = ::GetEnvironmentVariableA("QUILLON_SCREENSHOT_DIR", folder, sizeof folder);
    return length && length < sizeof folder ? std::string(folder) + "\\" : std::string();
}

void SaveScreenshot(const testing_support::WindowCapture& capture, const std::string& name) {
    const std::string folder = ScreenshotFolder();
    if (!folder.empty()) {
        EXPECT_TRUE(SUCCEEDED(capture.SavePng(folder + name + ".png"))) << name;
    }
}

int DifferentPixels(const testing_support::WindowCapture& a, const testing_support::WindowCapture& b) {
    int different = 0;
    for (int y = 0; y < std::min(a.Height(), b.Height()); ++y) {
        for (int x = 0; x < std::min(a.Width(), b.Width()); ++x)
            different += a.PixelAt(x, y) != b.PixelAt(x, y);
    }
    return different;
}

// A menu item's state and text in the prepared menu.
bool Greyed(HMENU menu, UINT id) {
    return (::GetMenuState(menu, id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) != 0;
}
std::string ItemText(HMENU menu, UINT id) {
    char text[64] = {};
    ::GetMenuStringA(menu, id, text, sizeof text, MF_BYCOMMAND);
    return text;
}

class StatusButtonTest : public BandFixture {
protected:
    void SetUp() override {
        BandFixture::SetUp();
        SetOption(OptionScope::PerUser, "SiteBase", kSiteBase);
        AttachHelper();
        CreateBand(100, 100);
    }
    // The tests after these in the same session open our own pages.
    void TearDown() override {
        ::RegDeleteKeyValueA(HKEY_CURRENT_USER, "SOFTWARE\\Quillon", "SiteBase");
        BandFixture::TearDown();
    }

    // A point of the button in client coordinates: on the face or on the arrow strip.
    static POINT FacePoint() { return POINT{40, 9}; }
    static POINT ArrowPoint() { return POINT{85, 9}; }

    // A click as the mouse makes it: down and up at a client point.
    void Click(POINT point) {
        const HWND button = Button().Window();
        const LPARAM at = MAKELPARAM(point.x, point.y);
        ::SendMessageA(button, WM_MOUSEMOVE, 0, at);
        ::SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, at);
        if (::IsWindow(button))
            ::SendMessageA(button, WM_LBUTTONUP, 0, at);
    }

    // The menu does not run its loop: `pick` sees it and picks.
    void PickFromMenu(std::function<int(HMENU, POINT, UINT)> pick) {
        Button().SetMenuTracker(std::move(pick));
    }

    // A browsed page rated by the stand-in service, shown by the decision matrix.
    void Browse(const std::string& host, const std::string& domain, int code, int colour) {
        service_.SetSite(host, SiteRated(domain, code, colour));
        const std::wstring url = L"http://" + std::wstring(host.begin(), host.end()) + L"/";
        browser_->SetLocation(url);
        ASSERT_TRUE(browser_->BrowsePage(url));
        ASSERT_TRUE(PumpUntil([&] { return MenuBar()->VerdictShown(); }, 8000)) << host;
    }

    LaunchRecord launches_;
};

// Every verdict colour, waiting and off: the face resource, its frames and
// button mode, and what the menu bar remembers.
TEST_F(StatusButtonTest, FacesForEveryColourAndState) {
    struct Case {
        const char* what;
        std::function<void(CMenuBarWnd&)> show;
        UINT face;
        int frames;
        bool button;
        bool verdictShown;
        int colour;
    };
    const Case cases[] = {
        {"green", [](CMenuBarWnd& m) { m.Set(0); }, IDB_FACE_GREEN, 3, true, true, 0},
        {"yellow", [](CMenuBarWnd& m) { m.Set(1); }, IDB_FACE_YELLOW, 3, true, true, 1},
        {"red", [](CMenuBarWnd& m) { m.Set(2); }, IDB_FACE_RED, 3, true, true, 2},
        {"grey", [](CMenuBarWnd& m) { m.Set(3); }, IDB_FACE_GREY, 3, true, true, 3},
        {"darkgrey", [](CMenuBarWnd& m) { m.Set(4); }, IDB_FACE_OFF, 3, true, true, 4},
        {"unknown colour", [](CMenuBarWnd& m) { m.Set(17); }, IDB_FACE_YELLOW, 3, true, true, 17},
        {"colour -1", [](CMenuBarWnd& m) { m.Set(-1); }, IDB_FACE_OFF, 3, true, false, -1},
        {"waiting", [](CMenuBarWnd& m) { m.ShowWaiting(); }, IDB_FACE_WAIT, 1, false, false, 2},
        {"off", [](CMenuBarWnd& m) { m.ShowOff(); }, IDB_FACE_OFF, 3, true, false, -1},
    };
    for (const Case& c : cases) {
        testing_support::DiagnosticCapture capture;
        MenuBar()->Set(2);  // something else first
        c.show(*MenuBar());
        EXPECT_EQ(MenuBar()->Face(), c.face) << c.what;
        EXPECT_EQ(Button().Bitmap().FrameCount(), c.frames) << c.what;
        EXPECT_EQ(Button().Bitmap().CurrentFrame(), 0) << c.what;
        EXPECT_EQ(Button().IsButtonMode(), c.button) << c.what;
        EXPECT_EQ(MenuBar()->VerdictShown(), c.verdictShown) << c.what;
        EXPECT_EQ(MenuBar()->Colour(), c.colour) << c.what;
        const SIZE frame = Button().Bitmap().GetSize();
        EXPECT_EQ(frame.cx, 90) << c.what;
        EXPECT_EQ(frame.cy, 18) << c.what;
        RECT client = {};
        ::GetClientRect(Button().Window(), &client);
        EXPECT_EQ(client.right, 90) << c.what;
        EXPECT_EQ(client.bottom, 18) << c.what;
        EXPECT_EQ(capture.Reported("CMenuBarWnd::Set", "Unknown color code"), c.colour == 17) << c.what;
    }
}

// Every face as it is on screen: the badge's colour where the artwork puts
// it, the arrow strip, and no trace of the transparent colour. The pictures
// are the screenshots of the faces.
TEST_F(StatusButtonTest, FacesOnScreenByPixel) {
    struct Case {
        const char* name;
        std::function<void(CMenuBarWnd&)> show;
        POINT badgeAt;  // on the badge left of the product name
        Hue badge;
        Hue body;  // at (30, 15), below the product name
    };
    const Case cases[] = {
        {"face-green", [](CMenuBarWnd& m) { m.Set(0); }, {13, 9}, Hue::kGreen, Hue::kLight},
        {"face-yellow", [](CMenuBarWnd& m) { m.Set(1); }, {13, 9}, Hue::kAmber, Hue::kLight},
        {"face-red", [](CMenuBarWnd& m) { m.Set(2); }, {13, 9}, Hue::kRed, Hue::kLight},
        {"face-grey", [](CMenuBarWnd& m) { m.Set(3); }, {13, 9}, Hue::kGrey, Hue::kLight},
        {"face-off", [](CMenuBarWnd& m) { m.ShowOff(); }, {13, 9}, Hue::kDark, Hue::kDark},
        {"face-wait", [](CMenuBarWnd& m) { m.ShowWaiting(); }, {13, 9}, Hue::kBlue, Hue::kLight},
        {"face-service-down", [](CMenuBarWnd& m) { m.ShowServiceDown(true); }, {13, 4}, Hue::kRed, Hue::kDark},
    };
    const COLORREF magenta = RGB(255, 0, 255);
    for (const Case& c : cases) {
        MenuBar()->ShowServiceDown(false);
        c.show(*MenuBar());
        const testing_support::WindowCapture capture(Button().Window());
        ASSERT_TRUE(capture.IsValid()) << c.name;
        ASSERT_EQ(capture.Width(), 90) << c.name;
        ASSERT_EQ(capture.Height(), 18) << c.name;
        const COLORREF badge = capture.PixelAt(c.badgeAt.x, c.badgeAt.y);
        const COLORREF body = capture.PixelAt(30, 15);
        EXPECT_TRUE(Looks(badge, c.badge)) << c.name << " badge " << std::hex << badge << " not " << HueName(c.badge);
        EXPECT_TRUE(Looks(body, c.body)) << c.name << " body " << std::hex << body << " not " << HueName(c.body);
        EXPECT_EQ(capture.CountPixels(magenta), 0) << c.name << ": the transparent colour is left out";
        SaveScreenshot(capture, c.name);
    }
    // The band as the browser shows it, with its background around the button.
    MenuBar()->ShowServiceDown(false);
    MenuBar()->Set(0);
    SaveScreenshot(testing_support::WindowCapture(site_->Window()), "band-green");
}

// The monitor's report: a face of its own and a tooltip that says why;
// verdicts that come meanwhile are kept and shown once the service is back.
TEST_F(StatusButtonTest, ServiceDownFaceAndTooltip) {
    MenuBar()->Set(0);
    Helper()->OnServerDown();
    EXPECT_TRUE(MenuBar()->ServiceDown());
    EXPECT_EQ(MenuBar()->Face(), static_cast<UINT>(IDB_FACE_SERVICE_DOWN));
    EXPECT_TRUE(Button().IsButtonMode());
    const HWND tooltip = Button().TooltipWindow();
    ASSERT_TRUE(tooltip);
    TOOLINFOA tool = {};
    char text[128] = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = Button().Window();
    tool.uId = CStatusButton::kServiceDownTool;
    tool.lpszText = text;
    ::SendMessageA(tooltip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, "Quillon ratings are unavailable: the rating service is not running.");

    MenuBar()->Set(2);
    EXPECT_EQ(MenuBar()->Face(), static_cast<UINT>(IDB_FACE_SERVICE_DOWN)) << "still down";
    Helper()->OnServerBack();
    EXPECT_FALSE(MenuBar()->ServiceDown());
    EXPECT_EQ(MenuBar()->Face(), static_cast<UINT>(IDB_FACE_RED)) << "the verdict that came meanwhile";
    EXPECT_EQ(::SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0), 0) << "the tooltip says nothing more";

    // A band made while the service is gone shows it at once.
    Helper()->ServerMonitor().ServerDown();
    CloseBand();
    CreateBand(100, 100);
    EXPECT_EQ(MenuBar()->Face(), static_cast<UINT>(IDB_FACE_SERVICE_DOWN));
}

// The decision matrix reaches the button through the helper: waiting while
// a page loads, then the page's colour; a band made after a verdict came
// shows it at once.
TEST_F(StatusButtonTest, PageVerdictsReachTheButton) {
    service_.AnswerAutomatically(true, 400);
    service_.SetSite("www.example.com", SiteRated("example.com", VERDICT_CERTIFIED, COLOR_GREEN));
    ASSERT_TRUE(browser_->BrowsePage(L"http://www.example.com/"));
    EXPECT_EQ(MenuBar()->Face(), static_cast<UINT>(IDB_FACE_WAIT));
    EXPECT_FALSE(MenuBar()->VerdictShown());
    EXPECT_TRUE(PumpUntil([&] { return MenuBar()->VerdictShown(); }, 8000));
    EXPECT_EQ(MenuBar()->Face(), static_cast<UINT>(IDB_FACE_GREEN));
    EXPECT_EQ(MenuBar()->Colour(), 0);

    CloseBand();
    service_.SetSite("bad.example", SiteRated("bad.example", VERDICT_WARN, COLOR_RED));
    ASSERT_TRUE(browser_->BrowsePage(L"http://bad.example/"));
    ASSERT_TRUE(PumpUntil([&] { return Helper()->Evaluator().GetCurrentDomain() == "bad.example"; }, 8000));
    PumpFor(100);
    CreateBand(100, 100);
    EXPECT_EQ(MenuBar()->Face(), static_cast<UINT>(IDB_FACE_RED));
    EXPECT_TRUE(MenuBar()->VerdictShown());
}

// Real pointer input: the pointer over the face shows frame 1, a press
// frame 2 (seen while the menu is up), and leaving it frame 0.
TEST_F(StatusButtonTest, PointerOverAndPressedFramesFromTheMouse) {
    MenuBar()->Set(0);
    RECT button = {};
    ::GetWindowRect(Button().Window(), &button);
    const POINT arrow = {button.left + ArrowPoint().x, button.top + ArrowPoint().y};
    ASSERT_EQ(::WindowFromPoint(arrow), Button().Window()) << "nothing covers the button";
    ::SetCursorPos(button.left - 50, button.top - 50);
    PumpFor(150);
    EXPECT_EQ(Button().Bitmap().CurrentFrame(), 0);
    const testing_support::WindowCapture normal(Button().Window());

    ::SetCursorPos(arrow.x, arrow.y);
    EXPECT_TRUE(PumpUntil([&] { return Button().Bitmap().CurrentFrame() == 1; }, 1000)) << "pointer over";
    EXPECT_EQ(Button().GetHoverState(), 1);
    const testing_support::WindowCapture over(Button().Window());
    EXPECT_GT(DifferentPixels(normal, over), 50) << "the pointer-over frame is on screen";
    SaveScreenshot(over, "face-green-pointer-over");

    int framePressed = -1;
    int pressedDifference = 0;
    PickFromMenu([&](HMENU, POINT, UINT) {
        framePressed = Button().Bitmap().CurrentFrame();
        const testing_support::WindowCapture pressed(Button().Window());
        pressedDifference = std::min(DifferentPixels(normal, pressed), DifferentPixels(over, pressed));
        SaveScreenshot(pressed, "face-green-pressed");
        return 0;
    });
    INPUT press[2] = {};
    press[0].type = press[1].type = INPUT_MOUSE;
    press[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    press[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(::SendInput(2, press, sizeof(INPUT)), 2u);
    EXPECT_TRUE(PumpUntil([&] { return framePressed != -1; }, 2000)) << "the press reached the button";
    EXPECT_EQ(framePressed, 2);
    EXPECT_GT(pressedDifference, 50) << "the pressed frame is on screen";
    PumpFor(150);
    EXPECT_EQ(Button().Bitmap().CurrentFrame(), 1) << "released over it";

    ::SetCursorPos(button.left - 50, button.top - 50);
    EXPECT_TRUE(PumpUntil([&] { return Button().Bitmap().CurrentFrame() == 0; }, 1000)) << "pointer gone";
}

// The arrow strip opens the menu under the button, aligned to the side of
// the browser window it is on; the face opens the site's report.
TEST_F(StatusButtonTest, ArrowOpensTheMenuAndTheFaceOpensTheSiteReport) {
    std::vector<std::pair<POINT, UINT>> opened;
    PickFromMenu([&](HMENU, POINT at, UINT alignment) {
        opened.emplace_back(at, alignment);
        return 0;
    });
    RECT button = {};
    ::GetWindowRect(Button().Window(), &button);
    // The browser window lies to the right: the button is in its left half.
    ::MoveWindow(browser_->FrameWindow(), 150, 0, 600, 400, FALSE);
    Click(ArrowPoint());
    ::Sleep(20);
    // And now to the left.
    ::MoveWindow(browser_->FrameWindow(), -400, 0, 600, 400, FALSE);
    Click(ArrowPoint());
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0].first.x, button.left + 2);
    EXPECT_EQ(opened[0].first.y, button.bottom);
    EXPECT_EQ(opened[0].second, static_cast<UINT>(TPM_LEFTALIGN));
    EXPECT_EQ(opened[1].first.x, button.right - 2);
    EXPECT_EQ(opened[1].first.y, button.bottom);
    EXPECT_EQ(opened[1].second, static_cast<UINT>(TPM_RIGHTALIGN));

    // No page yet: the service knows nothing of it.
    Click(FacePoint());
    EXPECT_EQ(launches_.WaitForPages(1), std::vector<std::string>{std::string(kSiteBase) + "/dossiers/unknown.html"});
    launches_.Clear();
    Browse("www.example.com", "example.com", VERDICT_OK, COLOR_GREEN);
    Click(FacePoint());
    EXPECT_EQ(launches_.WaitForPages(1), std::vector<std::string>{std::string(kSiteBase) + "/sites/example.com"});
    EXPECT_EQ(opened.size(), 2u) << "the face opens no menu";
}

// A click that lands within 9 ms of the menu closing is the one that
// closed it: the menu does not open again. A busy machine may take longer
// than that between the two, so the pair is tried until it came in time.
TEST_F(StatusButtonTest, MenuDoesNotReopenRightAfterItClosed) {
    const HWND button = Button().Window();
    const LPARAM arrow = MAKELPARAM(ArrowPoint().x, ArrowPoint().y);
    int opened = 0;
    bool postClosingClick = false;
    DWORD closedAt = 0;
    PickFromMenu([&](HMENU, POINT, UINT) {
        ++opened;
        if (postClosingClick) {
            // The click that ends the menu reaches the button right after.
            ::PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, arrow);
            ::PostMessageA(button, WM_LBUTTONUP, 0, arrow);
        }
        closedAt = ::GetTickCount();
        return 0;
    });
    bool inTime = false;
    for (int attempt = 0; attempt < 20 && !inTime; ++attempt) {
        ::Sleep(20);
        opened = 0;
        postClosingClick = true;
        ::SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, arrow);
        postClosingClick = false;
        // When the closing click reached the button, at the latest.
        DWORD arrivedAt = 0;
        MSG message;
        while (::PeekMessageA(&message, button, WM_LBUTTONDOWN, WM_LBUTTONUP, PM_REMOVE)) {
            if (message.message == WM_LBUTTONDOWN)
                arrivedAt = ::GetTickCount();
            ::DispatchMessageA(&message);
        }
        if (arrivedAt - closedAt <= CStatusButton::kReopenPause) {
            inTime = true;
            EXPECT_EQ(opened, 1) << "the closing click opened the menu again";
        }
    }
    EXPECT_TRUE(inTime) << "no closing click came within 9 ms";
    ::Sleep(30);
    opened = 0;
    Click(ArrowPoint());
    EXPECT_EQ(opened, 1) << "a later click opens it";
}

// "Show balloon" and "View site details" need a verdict on show; the
// enable item reads what a pick would do.
TEST_F(StatusButtonTest, MenuItemsFollowTheState) {
    struct Case {
        const char* what;
        std::function<void()> prepare;
        bool verdictItems;
        const char* enableText;
    };
    const Case cases[] = {
        {"off", [&] { MenuBar()->ShowOff(); }, false, "Disable"},
        {"waiting", [&] { MenuBar()->ShowWaiting(); }, false, "Disable"},
        {"verdict", [&] { MenuBar()->Set(0); }, true, "Disable"},
        {"disabled", [&] { MenuBar()->Set(0); Helper()->SetEnabled(0); }, true, "Enable"},
    };
    for (const Case& c : cases) {
        c.prepare();
        bool seen = false;
        PickFromMenu([&](HMENU menu, POINT, UINT) {
            seen = true;
            EXPECT_EQ(Greyed(menu, ID_MENU_SHOW_BALLOON), !c.verdictItems) << c.what;
            EXPECT_EQ(Greyed(menu, ID_MENU_VIEW_SITE_DETAILS), !c.verdictItems) << c.what;
            EXPECT_EQ(ItemText(menu, ID_MENU_ENABLE), c.enableText) << c.what;
            for (UINT always : {ID_MENU_SETTINGS, ID_MENU_DO_NOT_WARN_LIST, ID_MENU_ENABLE, ID_MENU_TELL_A_FRIEND,
                                ID_MENU_SEND_FEEDBACK, ID_MENU_GET_LATEST, ID_MENU_HELP, ID_MENU_ABOUT})
                EXPECT_FALSE(Greyed(menu, always)) << c.what << " " << always;
            return 0;
        });
        ::Sleep(15);
        Click(ArrowPoint());
        EXPECT_TRUE(seen) << c.what;
        Helper()->SetEnabled(1);
    }
}

// Each page command asks the helper to open our page in a new browser
// window; the helper's stand-in browser program records what it got.
TEST_F(StatusButtonTest, PageCommandsOpenOurPages) {
    browser_->SetLocation(L"http://www.example.com/page");
    struct Case {
        int command;
        std::string page;
    };
    const Case cases[] = {
        {ID_MENU_TELL_A_FRIEND, "/tellafriend.html"},
        {ID_MENU_SEND_FEEDBACK, "/feedback.html?site=www.example.com"},
        {ID_MENU_GET_LATEST, "/ie_upgrade.html?version=1.2.0.11"},
        {ID_MENU_HELP, "/help/iepluginhelp.html"},
        {ID_MENU_VIEW_SITE_DETAILS, "/dossiers/unknown.html"},
    };
    for (const Case& c : cases) {
        launches_.Clear();
        PickFromMenu([&](HMENU, POINT, UINT) { return c.command; });
        ::Sleep(15);
        Click(ArrowPoint());
        EXPECT_EQ(launches_.WaitForPages(1), std::vector<std::string>{kSiteBase + c.page}) << c.command;
    }
}

// The other commands: the list editor, picks the menu does not have, and a
// failed menu.
TEST_F(StatusButtonTest, OtherCommands) {
    Helper()->SetDoNotWarnList("good.example;other.example");
    std::string edited;
    CStatusButton::SetListEditor([&](std::string& text) {
        edited = text;
        return false;
    });
    struct Case {
        int command;
        const char* method;
        const char* report;
    };
    const Case cases[] = {
        {ID_MENU_DO_NOT_WARN_LIST, nullptr, nullptr},
        {4242, "CStatusButton::MouseDown", "Unhandled menu pick"},
        {-1, "CStatusButton::MouseDown", "Error tracking menu"},
    };
    for (const Case& c : cases) {
        testing_support::DiagnosticCapture capture;
        PickFromMenu([&](HMENU, POINT, UINT) { return c.command; });
        ::Sleep(15);
        Click(ArrowPoint());
        if (c.report) {
            EXPECT_TRUE(capture.Reported(c.method, c.report)) << c.command;
        }
    }
    EXPECT_EQ(edited, "good.example;other.example");
    CStatusButton::SetListEditor(nullptr);
    testing_support::DiagnosticCapture capture;
    PickFromMenu([&](HMENU, POINT, UINT) { return ID_MENU_DO_NOT_WARN_LIST; });
    ::Sleep(15);
    Click(ArrowPoint());
    EXPECT_TRUE(capture.Reported("CStatusButton::MouseDown", "No do-not-warn list editor"));
    EXPECT_TRUE(launches_.Pages().empty());
}

// Disabling shows OFF at once; enabling shows the tooltip beside the
// button for 201 ticks of timer 57, then hides it and stops the timer.
TEST_F(StatusButtonTest, DisableAndEnable) {
    MenuBar()->Set(0);
    PickFromMenu([&](HMENU, POINT, UINT) { return ID_MENU_ENABLE; });
    Click(ArrowPoint());
    EXPECT_FALSE(Helper()->IsEnabled());
    EXPECT_EQ(MenuBar()->Face(), static_cast<UINT>(IDB_FACE_OFF));
    EXPECT_FALSE(MenuBar()->VerdictShown());
    EXPECT_EQ(Button().TooltipWindow(), nullptr);

    ::Sleep(15);
    Click(ArrowPoint());
    EXPECT_TRUE(Helper()->IsEnabled());
    const HWND tooltip = Button().TooltipWindow();
    ASSERT_TRUE(tooltip);
    TOOLINFOA tool = {};
    char text[128] = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = Button().Window();
    tool.uId = CStatusButton::kReEnableTool;
    tool.lpszText = text;
    ::SendMessageA(tooltip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, "Quillon will be renabled when you next browse.");
    EXPECT_TRUE(PumpUntil([&] { return ::IsWindowVisible(tooltip) != FALSE; }, 500)) << "tracking";
    RECT button = {};
    RECT tip = {};
    ::GetWindowRect(Button().Window(), &button);
    ::GetWindowRect(tooltip, &tip);
    EXPECT_LE(std::abs(tip.left - button.left), 2) << "beside the button";

    const DWORD start = ::GetTickCount();
    EXPECT_TRUE(PumpUntil([&] { return Button().TooltipTicks() > CStatusButton::kReEnableTicks; }, 8000));
    EXPECT_GE(::GetTickCount() - start, 1500u) << "about two seconds";
    PumpFor(100);
    EXPECT_EQ(Button().TooltipTicks(), 202) << "the timer stopped";
    EXPECT_FALSE(::IsWindowVisible(tooltip));
}

// The real menu loop: open while it runs, ended from a timer as a click
// elsewhere would end it.
struct MenuProbe {
    CStatusButton* button = nullptr;
    bool wasOpen = false;
    HWND popup = nullptr;
    int textPixels = 0;
};
MenuProbe* g_menuProbe = nullptr;

void CALLBACK EndMenuSoon(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    g_menuProbe->wasOpen = g_menuProbe->button->MenuOpen();
    g_menuProbe->popup = ::FindWindowA("#32768", nullptr);
    if (g_menuProbe->popup) {
        const testing_support::WindowCapture menu(g_menuProbe->popup, testing_support::WindowCapture::Source::Screen);
        // Its items' text is drawn: the menu is on screen, not a blank.
        g_menuProbe->textPixels = menu.IsValid() ? menu.CountPixels(::GetSysColor(COLOR_MENUTEXT)) : 0;
        SaveScreenshot(menu, "menu-open");
    }
    ::EndMenu();
}

TEST_F(StatusButtonTest, RealMenuRunsAndEnds) {
    MenuProbe probe;
    probe.button = &Button();
    g_menuProbe = &probe;
    ASSERT_TRUE(::SetTimer(nullptr, 0, 300, &EndMenuSoon));
    Click(ArrowPoint());
    EXPECT_TRUE(probe.wasOpen);
    EXPECT_TRUE(probe.popup) << "the menu was on screen";
    EXPECT_GT(probe.textPixels, 100) << "with its items";
    EXPECT_FALSE(Button().MenuOpen());
    g_menuProbe = nullptr;
}

// The band is closed and let go of while its menu is up: the pick does
// nothing, and the band is freed once the click has been handled.
TEST_F(StatusButtonTest, BandClosedDuringTheMenuIsFreedAfterIt) {
    const LONG locks = ModuleLockCount();
    PickFromMenu([&](HMENU, POINT, UINT) {
        CloseBand();
        EXPECT_EQ(ModuleLockCount(), locks) << "still held by the open menu";
        return ID_MENU_HELP;
    });
    ::SendMessageA(Button().Window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(ArrowPoint().x, ArrowPoint().y));
    EXPECT_EQ(ModuleLockCount(), locks);
    PumpUntil([&] { return ModuleLockCount() == locks - 1; }, 1000);
    EXPECT_EQ(ModuleLockCount(), locks - 1) << "the band is gone";
    PumpFor(300);
    EXPECT_TRUE(launches_.Pages().empty()) << "nothing was opened for a closed band";
}

// The helper is looked up at each use: a button whose helper went does
// nothing, and one that came later is used.
TEST_F(StatusButtonTest, HelperIsLookedUpAtEachUse) {
    int opened = 0;
    PickFromMenu([&](HMENU, POINT, UINT) {
        ++opened;
        return 0;
    });
    DetachHelper();
    EXPECT_EQ(RunningBrowserMap().GetBrowser(::GetCurrentThreadId()), nullptr);
    Click(FacePoint());
    ::Sleep(15);
    Click(ArrowPoint());
    // Hovering with no helper: timer 44 ticks and finds none.
    RECT button = {};
    ::GetWindowRect(Button().Window(), &button);
    ::SetCursorPos(button.left + FacePoint().x, button.top + FacePoint().y);
    PumpFor(700);
    EXPECT_EQ(opened, 0);
    EXPECT_TRUE(launches_.Pages().empty());

    AttachHelper();
    ::Sleep(15);
    Click(ArrowPoint());
    EXPECT_EQ(opened, 1);
    Click(FacePoint());
    EXPECT_EQ(launches_.WaitForPages(1).size(), 1u);
}

// The tooltip window and the timers go with the band's windows.
TEST_F(StatusButtonTest, TooltipAndTimersGoWithTheWindows) {
    Button().ShowReEnable();
    const HWND tooltip = Button().TooltipWindow();
    const HWND button = Button().Window();
    ASSERT_TRUE(tooltip);
    band_->CloseDW(0);
    EXPECT_FALSE(::IsWindow(tooltip));
    EXPECT_FALSE(::IsWindow(button));
    PumpFor(100);  // no timer of the button fires into the freed window
}

// A thousand face changes and tooltips leave no GDI or USER object behind.
TEST_F(StatusButtonTest, NoObjectGrowthOverAThousandFaceChanges) {
    const auto cycle = [&](int i) {
        switch (i % 8) {
        case 5:
            MenuBar()->ShowWaiting();
            break;
        case 6:
            MenuBar()->ShowOff();
            break;
        case 7:
            MenuBar()->ShowServiceDown(true);
            MenuBar()->ShowServiceDown(false);
            break;
        default:
            MenuBar()->Set(i % 8);
        }
        if (i % 100 == 0)
            Button().ShowReEnable();
    };
    // A warm-up of whole rounds (the tooltip comes every hundred): what the
    // system caches once, whatever state earlier tests left, is not counted.
    // Timers started by the warm-up (the tooltip's two seconds, a delayed
    // show) run out before counting.
    for (int i = 0; i < 200; ++i)
        cycle(i);
    PumpFor(2500);
    const DWORD gdiBefore = testing_support::GdiObjectCount();
    const DWORD userBefore = testing_support::UserObjectCount();
    const DWORD start = ::GetTickCount();
    for (int i = 0; i < 1000; ++i)
        cycle(i);
    const DWORD elapsed = ::GetTickCount() - start;
    PumpFor(50);
    const DWORD gdiAfter = testing_support::GdiObjectCount();
    const DWORD userAfter = testing_support::UserObjectCount();
    std::cout << "GDI objects " << gdiBefore << " -> " << gdiAfter << ", USER objects " << userBefore << " -> "
              << userAfter << "; " << elapsed << " ms" << std::endl;
    RecordProperty("gdi_before", static_cast<int>(gdiBefore));
    RecordProperty("gdi_after", static_cast<int>(gdiAfter));
    RecordProperty("user_before", static_cast<int>(userBefore));
    RecordProperty("user_after", static_cast<int>(userAfter));
    EXPECT_GT(gdiBefore, 0u);
    EXPECT_GT(userBefore, 0u);
    EXPECT_LE(gdiAfter, gdiBefore);
    EXPECT_LE(userAfter, userBefore);
}


TEST_F(StatusButtonTest, BalloonHangsFromThisThreadsBandWhileItIsOpen) {
    // The balloon asks at each use; a closed band must stop being its anchor.
    IBalloonAnchor& anchor = ThreadBandAnchor();
    EXPECT_EQ(MenuBar()->Window(), anchor.MenuBarWindow());
    POINT face = FacePoint();
    POINT arrow = ArrowPoint();
    ::ClientToScreen(Button().Window(), &face);
    ::ClientToScreen(Button().Window(), &arrow);
    EXPECT_TRUE(anchor.IsOnStatusFace(face));
    EXPECT_FALSE(anchor.IsOnStatusFace(arrow));
    CloseBand();
    EXPECT_EQ(nullptr, anchor.MenuBarWindow());
    EXPECT_FALSE(anchor.IsOnStatusFace(face));
}

}  // namespace
