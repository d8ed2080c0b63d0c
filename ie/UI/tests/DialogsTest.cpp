// The About and Settings dialogs: what they show, what their buttons do,
// and what they store.
#include "ie/UI/tests/UITesting.h"

#include "ie/UI/AboutDlg.h"
#include "ie/UI/SettingsDlg.h"
#include "ie/res/ResourceIds.h"
#include "tests/support/WindowCapture.h"
#include "utils/Options/Options.h"

#include <algorithm>
#include <cstdlib>

using ui_testing::BandFixture;
using ui_testing::ClickControl;
using ui_testing::LaunchRecord;
using ui_testing::PumpFor;
using ui_testing::WhenDialogShows;

namespace {

constexpr char kSiteBase[] = "http://vendor.example";

std::string ItemText(HWND dialog, int id) {
    char text[256] = {};
    ::GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

// Screenshots go to the folder this names, when it is set.
void SaveScreenshot(HWND window, const std::string& name) {
    char folder[MAX_PATH] = {};
    const DWORD length = ::GetEnvironmentVariableA("QUILLON_SCREENSHOT_DIR", folder, sizeof folder);
    if (!length || length >= sizeof folder)
        return;
    const testing_support::WindowCapture capture(window);
    EXPECT_TRUE(SUCCEEDED(capture.SavePng(std::string(folder) + "\\" + name + ".png"))) << name;
}

POINT Centre(HWND window) {
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

class DialogsTest : public BandFixture {
protected:
    void SetUp() override {
        BandFixture::SetUp();
        SetOption(OptionScope::PerUser, "SiteBase", kSiteBase);
        AttachHelper();
        // The browser window the dialogs are centred over, off the screen's centre.
        ::MoveWindow(browser_->FrameWindow(), 50, 40, 700, 500, FALSE);
    }
    // The tests after these in the same session open our own pages.
    void TearDown() override {
        ::RegDeleteKeyValueA(HKEY_CURRENT_USER, "SOFTWARE\\Quillon", "SiteBase");
        BandFixture::TearDown();
    }

    LaunchRecord launches_;
};

TEST_F(DialogsTest, AboutShowsTheVersionAndOpensItsLinks) {
    std::string version;
    bool icon = false;
    POINT centre = {};
    WhenDialogShows([&](HWND dialog) {
        version = ItemText(dialog, IDC_ABOUT_VERSION);
        icon = ::SendMessageA(dialog, WM_GETICON, ICON_BIG, 0) != 0;
        centre = Centre(dialog);
        SaveScreenshot(dialog, "about");
        for (int link : {IDC_ABOUT_LEARN_MORE, IDC_ABOUT_EULA, IDC_ABOUT_PRIVACY})
            ClickControl(dialog, link);
        ClickControl(dialog, IDOK);
    });
    EXPECT_EQ(CAboutDlg(browser_->FrameWindow()).Run(nullptr), 1);
    EXPECT_EQ(version, "Version 1.2.0.11 (Build 2321), 13:17 3-Mar-2006");
    EXPECT_TRUE(icon);
    const POINT browser = Centre(browser_->FrameWindow());
    EXPECT_LE(std::abs(centre.x - browser.x), 1);
    EXPECT_LE(std::abs(centre.y - browser.y), 1);
    std::vector<std::string> pages = launches_.WaitForPages(3);
    std::sort(pages.begin(), pages.end());
    EXPECT_EQ(pages, (std::vector<std::string>{std::string(kSiteBase) + "/aboutpage/about.html",
                                               std::string(kSiteBase) + "/eula.html",
                                               std::string(kSiteBase) + "/privacypolicy.html"}));

    // Without a browser helper the links do nothing; the close box ends it with 1.
    DetachHelper();
    launches_.Clear();
    WhenDialogShows([&](HWND dialog) {
        for (int link : {IDC_ABOUT_LEARN_MORE, IDC_ABOUT_EULA, IDC_ABOUT_PRIVACY})
            ClickControl(dialog, link);
        ::SendMessageA(dialog, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(CAboutDlg(nullptr).Run(nullptr), 1);
    PumpFor(300);
    EXPECT_TRUE(launches_.Pages().empty());
}

// The three boxes start from the stored options and are stored by OK only;
// a user who cannot write machine-wide settings sees "PIP" greyed and
// keeps it as it was.
TEST_F(DialogsTest, SettingsStoreTheirBoxesOnOkOnly) {
    struct Case {
        const char* what;
        bool machineWritable;
        std::vector<int> clicks;
        int end;
        INT_PTR result;
        bool changed;
        const char* pip;
        const char* highlight;
        const char* icons;
    };
    const Case cases[] = {
        {"OK as it is", true, {}, IDOK, 1, false, "false", "false", "true"},
        {"all toggled, OK", true, {213, 220, 223}, IDOK, 1, true, "true", "true", "false"},
        // Reading stores the defaults; the toggled states are not stored.
        {"toggled, Cancel", true, {213, 220}, IDCANCEL, 2, true, "false", "false", "true"},
        {"not an administrator", false, {213, 223}, IDOK, 1, true, "false", "false", "false"},
    };
    for (const Case& c : cases) {
        ::RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\Quillon");
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillon");
        SetOption(OptionScope::PerUser, "SiteBase", kSiteBase);
        bool pipEnabled = false;
        UINT pipState = 99;
        UINT highlightState = 99;
        UINT iconsState = 99;
        WhenDialogShows([&](HWND dialog) {
            pipEnabled = ::IsWindowEnabled(::GetDlgItem(dialog, IDC_SETTINGS_PIP)) != FALSE;
            pipState = ::IsDlgButtonChecked(dialog, IDC_SETTINGS_PIP);
            highlightState = ::IsDlgButtonChecked(dialog, IDC_SETTINGS_HIGHLIGHT);
            iconsState = ::IsDlgButtonChecked(dialog, IDC_SETTINGS_SHOW_ICONS);
            if (!c.machineWritable)
                SaveScreenshot(dialog, "settings-not-administrator");
            for (int id : c.clicks)
                ClickControl(dialog, id);
            ClickControl(dialog, c.end);
        });
        CSettingsDlg settings(browser_->FrameWindow(), c.machineWritable);
        EXPECT_EQ(settings.Run(nullptr), c.result) << c.what;
        EXPECT_EQ(settings.SafeSearchChanged(), c.changed) << c.what;
        EXPECT_EQ(pipEnabled, c.machineWritable) << c.what;
        EXPECT_EQ(pipState, static_cast<UINT>(BST_UNCHECKED)) << c.what;
        EXPECT_EQ(highlightState, static_cast<UINT>(BST_UNCHECKED)) << c.what;
        EXPECT_EQ(iconsState, static_cast<UINT>(BST_CHECKED)) << c.what << ": shown by default";
        EXPECT_EQ(GetOption(OptionScope::MachineWide, "PIP"), c.pip) << c.what;
        EXPECT_EQ(GetOption(OptionScope::PerUser, "Highlite_SafeSearch"), c.highlight) << c.what;
        EXPECT_EQ(GetOption(OptionScope::PerUser, "Show_SafeSearchIcons"), c.icons) << c.what;
    }
}

}  // namespace
