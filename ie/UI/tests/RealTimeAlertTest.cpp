// The real-time safety alert run modally for real: its texts by category,
// its links, what closes it and what does not, and its picture.
#include "ie/UI/IBalloonHost.h"
#include "ie/UI/RealTimeAlertDlg.h"
#include "tests/support/FakeRatingService.h"
#include "tests/support/TestPaths.h"
#include "tests/support/WindowCapture.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using testing_support::PumpUntil;

class RecordingHost final : public IBalloonHost {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HWND BrowserWindow() const override { return browser; }
    bool IsOnDoNotWarnList(const std::string&) override { return false; }
    bool AddToDoNotWarnList(const std::string& site) override {
        calls.push_back("add " + site);
        return true;
    }
    bool OpenVendorPage(const std::string& page) override {
        calls.push_back("open " + page);
        return true;
    }
    bool SendFeedback() override {
        calls.push_back("feedback");
        return true;
    }
    HWND browser = nullptr;
    std::vector<std::string> calls;
};

// Runs `inside` from the dialog's own modal loop, once its window is up.
std::function<void()> g_inside;
CRealTimeAlertDlg* g_dialog = nullptr;

void CALLBACK WhileOpen(HWND, UINT, UINT_PTR timer, DWORD) {
    if (!g_dialog || !g_dialog->Window() || !::IsWindowVisible(g_dialog->Window()))
        return;
    ::KillTimer(nullptr, timer);
    std::function<void()> inside = std::move(g_inside);
    g_inside = nullptr;
    inside();
}

INT_PTR RunWith(CRealTimeAlertDlg& dialog, HWND owner, std::function<void()> inside) {
    g_dialog = &dialog;
    g_inside = std::move(inside);
    ::SetTimer(nullptr, 0, 20, &WhileOpen);
    const INT_PTR result = dialog.Run(owner);
    g_dialog = nullptr;
    return result;
}

void Click(HWND window) {
    ::SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    ::SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

std::string WindowText(HWND window) {
    char text[256] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

TEST(RealTimeAlertTest, TextsLinksAndWhatClosesIt) {
    RecordingHost host;
    const HWND browser = ::CreateWindowExA(0, "STATIC", "browser", WS_POPUP, 50, 40, 900, 700, nullptr, nullptr,
                                           nullptr, nullptr);
    host.browser = browser;
    const std::string folder = testing_support::ExecutableDirectory() + "screenshots\\";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    struct Case {
        int category;
        const char* reason;
        const char* suspicion;
        int closeBy;  // 0 the Close button, 1 the window's close box
    };
    const Case cases[] = {
        {1, "This page asks for your bank password but is not your bank's site.", "Possible Phishing Site", 0},
        {2, "", "Possible Fraud Site", 1},
        {-7, "Prices far below the market", "Possible Fraud Site", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.category);
        host.calls.clear();
        CRealTimeAlertDlg dialog(c.category, c.reason, &host);
        bool stayed = false;
        const INT_PTR result = RunWith(dialog, nullptr, [&] {
            const HWND window = dialog.Window();
            EXPECT_EQ(WindowText(window), "Quillon");
            EXPECT_EQ(dialog.TitleText(), std::string("Quillon Real-Time Safety Alert\r\n") + c.suspicion);
            EXPECT_EQ(dialog.ReasonText(), c.reason);
            EXPECT_EQ(dialog.QuestionText(), "Think this site is legitimate? ");
            EXPECT_EQ(dialog.QuestionRect().right, dialog.ReportLinkRect().left) << "one line";
            EXPECT_EQ(dialog.QuestionRect().top, dialog.ReportLinkRect().top);
            RECT about = {};
            ::GetClientRect(dialog.AboutLinkWindow(), &about);
            EXPECT_GE(about.right, dialog.AboutLinkWidthNeeded()) << "the whole link shows";
            EXPECT_TRUE(::SendMessageA(window, WM_GETICON, ICON_BIG, 0));
            for (int placeholder : {217, 229, 230, 231, 232})
                EXPECT_FALSE(::GetDlgItem(window, placeholder)) << placeholder;
            // Centred over the browser.
            RECT rect = {};
            ::GetWindowRect(window, &rect);
            EXPECT_LE(std::abs((rect.left + rect.right) / 2 - 500), 1);
            EXPECT_LE(std::abs((rect.top + rect.bottom) / 2 - 390), 1);

            // Escape does not end it; the links leave it open.
            ::SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            ::PostMessageA(::GetFocus() ? ::GetFocus() : window, WM_KEYDOWN, VK_ESCAPE, 0);
            PumpUntil([] { return false; }, 50);
            Click(dialog.AboutLinkWindow());
            Click(dialog.ReportLinkWindow());
            stayed = ::IsWindowVisible(window) != FALSE;
            if (c.category == 1) {
                const testing_support::WindowCapture capture(window);
                EXPECT_GT(capture.CountPixels(RGB(0, 0, 255)), 20) << "the links";
                EXPECT_EQ(capture.SavePng(folder + "alert.png"), S_OK);
            }
            if (c.closeBy == 0)
                ::SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            else
                ::PostMessageA(window, WM_CLOSE, 0, 0);
        });
        EXPECT_TRUE(stayed);
        EXPECT_EQ(result, 1);
        EXPECT_EQ(host.calls, (std::vector<std::string>{"open /methodology/real_time_alerts.html", "feedback"}));
        EXPECT_FALSE(dialog.Window());
    }
    ::DestroyWindow(browser);
}

}  // namespace
