// The warning dialog as the user meets it: found on the screen by a second
// thread, which reads it and presses one of its buttons.
#include "ie/Download/DownloadWarningDlg.h"
#include "ie/res/ResourceIds.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

namespace {

struct Seen {
    std::string verdictText;
    std::string question;
    bool reportVisible = false;
    bool reportChecked = false;
    bool badge = false;
    bool found = false;
};

// Waits for the dialog titled "Quillon" of this process, reads it and
// presses `button`.
std::thread Answerer(int button, Seen& seen) {
    return std::thread([button, &seen] {
        for (int i = 0; i < 300 && !seen.found; ++i) {
            HWND dialog = ::FindWindowA("#32770", "Quillon");
            if (dialog && ::IsWindowVisible(dialog)) {
                char text[512] = {};
                ::GetDlgItemTextA(dialog, IDC_DOWNLOAD_VERDICT, text, sizeof text);
                seen.verdictText = text;
                ::GetDlgItemTextA(dialog, IDC_DOWNLOAD_QUESTION, text, sizeof text);
                seen.question = text;
                HWND report = ::GetDlgItem(dialog, IDC_DOWNLOAD_REPORT);
                seen.reportVisible = report && ::IsWindowVisible(report);
                seen.reportChecked = ::IsDlgButtonChecked(dialog, IDC_DOWNLOAD_REPORT) == BST_CHECKED;
                HWND picture = ::GetDlgItem(dialog, IDC_DOWNLOAD_PICTURE);
                char className[64] = {};
                if (picture)
                    ::GetClassNameA(picture, className, sizeof className);
                seen.badge = picture && std::string(className) != "Static";
                seen.found = true;
                ::SendMessageA(::GetDlgItem(dialog, button), BM_CLICK, 0, 0);
                return;
            }
            ::Sleep(20);
        }
    });
}

TEST(DownloadWarningDlg, BadgesCheckBoxAndAnswers) {
    struct Case {
        std::int32_t verdict;
        int button;
        bool goOn;
        bool reportShown;
    } const cases[] = {
        {4, IDOK, true, false},
        {4, IDCANCEL, false, false},
        {2, IDCANCEL, false, true},
        {3, IDOK, true, true},
    };
    for (const Case& c : cases) {
        Seen seen;
        std::thread answerer = Answerer(c.button, seen);
        const bool goOn = ShowDownloadWarning(nullptr, "Verdict text", c.verdict);
        answerer.join();
        ASSERT_TRUE(seen.found) << c.verdict;
        EXPECT_EQ(c.goOn, goOn) << c.verdict;
        EXPECT_EQ("Verdict text", seen.verdictText);
        EXPECT_EQ("Are you sure you want to download this program?", seen.question);
        EXPECT_EQ(c.reportShown, seen.reportVisible) << c.verdict;
        EXPECT_EQ(c.reportShown, seen.reportChecked) << c.verdict;
        EXPECT_TRUE(seen.badge) << "the frame is replaced by the badge window";
    }
}

TEST(DownloadWarningDlg, TheBadgeOfEachVerdict) {
    struct Case {
        std::int32_t verdict;
        int width;
        int height;
    } const cases[] = {{2, 140, 124}, {3, 140, 124}, {4, 115, 118}};
    for (const Case& c : cases) {
        CDownloadWarningDlg dialog("text", c.verdict);
        std::atomic<bool> done{false};
        int width = 0;
        int height = 0;
        std::thread closer([&] {
            for (int i = 0; i < 300 && !done; ++i) {
                HWND window = ::FindWindowA("#32770", "Quillon");
                if (window && ::IsWindowVisible(window)) {
                    width = dialog.Badge().Bitmap().Width();
                    height = dialog.Badge().Bitmap().Height();
                    ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
                    return;
                }
                ::Sleep(20);
            }
        });
        EXPECT_EQ(IDCANCEL, dialog.DoModal(nullptr));
        done = true;
        closer.join();
        EXPECT_EQ(c.width, width) << c.verdict;
        EXPECT_EQ(c.height, height) << c.verdict;
    }
}

}  // namespace
