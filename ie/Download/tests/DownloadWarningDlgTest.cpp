// The warning dialog as the user meets it: found on the screen by a second
// thread, which reads it and presses one of its buttons.
#include "ie/Download/DownloadWarning.h"
#include "ie/Download/DownloadWarningDlg.h"
#include "ie/res/ResourceIds.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {

struct Seen {
    std::string verdictText;
    std::string question;
    bool reportVisible = false;
    bool reportChecked = false;
    bool frameReplaced = false;
    int badgeWidth = 0;
    int badgeHeight = 0;
    bool found = false;
};

// Waits for the dialog titled "Quillon" of this process, reads it and
// presses `button`.
std::thread Answerer(int button, const CDownloadWarningDlg* dialogObject, Seen& seen) {
    return std::thread([button, dialogObject, &seen] {
        for (int i = 0; i < 500; ++i) {
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
                seen.frameReplaced = picture && std::string(className) != "Static";
                if (dialogObject) {
                    seen.badgeWidth = dialogObject->Badge().Bitmap().Width();
                    seen.badgeHeight = dialogObject->Badge().Bitmap().Height();
                }
                seen.found = true;
                // Posted: the button is pressed on the dialog's own thread.
                ::PostMessageA(::GetDlgItem(dialog, button), BM_CLICK, 0, 0);
                return;
            }
            ::Sleep(10);
        }
    });
}

TEST(DownloadWarningDlg, BadgeCheckBoxAndAnswerOfEachVerdict) {
    struct Case {
        std::int32_t verdict;
        int button;
        INT_PTR result;
        bool reportShown;
        int badgeWidth;
        int badgeHeight;
    } const cases[] = {
        {4, IDOK, IDOK, false, 115, 118},          // red badge, no box
        {2, IDCANCEL, IDCANCEL, true, 140, 124},   // yellow badge, box ticked
        {3, IDCANCEL, IDCANCEL, true, 140, 124},
    };
    for (const Case& c : cases) {
        Seen seen;
        CDownloadWarningDlg dialog("Verdict text", c.verdict);
        std::thread answerer = Answerer(c.button, &dialog, seen);
        const INT_PTR result = dialog.DoModal(nullptr);
        answerer.join();
        ASSERT_TRUE(seen.found) << c.verdict;
        EXPECT_EQ(c.result, result) << c.verdict;
        EXPECT_EQ("Verdict text", seen.verdictText);
        EXPECT_EQ("Are you sure you want to download this program?", seen.question);
        EXPECT_EQ(c.reportShown, seen.reportVisible) << c.verdict;
        EXPECT_EQ(c.reportShown, seen.reportChecked) << c.verdict;
        EXPECT_TRUE(seen.frameReplaced) << "the frame is replaced by the badge window";
        EXPECT_EQ(c.badgeWidth, seen.badgeWidth) << c.verdict;
        EXPECT_EQ(c.badgeHeight, seen.badgeHeight) << c.verdict;
    }
}

}  // namespace
