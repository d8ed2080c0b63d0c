#include "utils/Widgets/UTextWnd.h"

#include "tests/support/DiagnosticCapture.h"
#include "tests/support/FakeRatingService.h"
#include "tests/support/GuiResources.h"
#include "tests/support/HostWindow.h"
#include "tests/support/WindowCapture.h"
#include "utils/Widgets/ULinkNotify.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

using testing_support::HostWindow;
using testing_support::PumpUntil;
using testing_support::WindowCapture;

constexpr RECT kHostRect = {100, 100, 400, 250};
constexpr COLORREF kHostColour = RGB(10, 20, 30);
constexpr RECT kTextRect = {10, 10, 150, 40};

class Recorder : public ULinkNotify {
public:
    void DoAction(int action) override { actions.push_back(action); }
    std::vector<int> actions;
};

// One shown host for all window tests (see HostWindow on why).
class UTextWndTest : public testing::Test {
protected:
    static void SetUpTestSuite() { host_ = std::make_unique<HostWindow>(kHostRect, kHostColour); }
    static void TearDownTestSuite() { host_.reset(); }
    void SetUp() override { host_->ClearCommands(); }
    static HWND Host() { return host_->Get(); }

    static std::unique_ptr<HostWindow> host_;
};
std::unique_ptr<HostWindow> UTextWndTest::host_;

TEST_F(UTextWndTest, AClickNotifiesTheLinkOrSendsTheCommandToTheParent) {
    constexpr UINT kNone = UTextWnd::kNoCommand;
    const struct Case {
        bool link;
        UINT command;
        POINT releasedAt;
        std::vector<int> actions;
        std::vector<WPARAM> commands;
    } cases[] = {
        {true, kNone, {5, 5}, {7}, {}},
        {false, 0x1234, {5, 5}, {}, {MAKEWPARAM(0x1234, BN_CLICKED)}},
        {false, kNone, {5, 5}, {}, {}},    // a label
        {true, kNone, {500, 5}, {}, {}},   // released off the link
        {false, 0x1234, {5, 500}, {}, {}},
    };
    for (const Case& c : cases) {
        host_->ClearCommands();
        Recorder recorder;
        UTextWnd text;
        if (c.link)
            text.SetLink(&recorder, 7);
        text.SetCommandId(c.command);
        ASSERT_TRUE(text.Create(Host(), kTextRect, "Tell us."));
        ::SendMessageA(text.Window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        EXPECT_EQ(text.Window(), ::GetCapture());
        ::SendMessageA(text.Window(), WM_LBUTTONUP, 0, MAKELPARAM(c.releasedAt.x, c.releasedAt.y));
        EXPECT_EQ(nullptr, ::GetCapture());
        EXPECT_EQ(c.actions, recorder.actions);
        EXPECT_EQ(c.commands, host_->Commands());
    }
    // A release without a press on the link is no click.
    Recorder recorder;
    UTextWnd text;
    text.SetLink(&recorder, 3);
    ASSERT_TRUE(text.Create(Host(), kTextRect, "x"));
    ::SendMessageA(text.Window(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(recorder.actions.empty());
}

// The cursor a window sets when the pointer rests at `at` (its client coordinates).
HCURSOR CursorOver(HWND window, POINT at) {
    POINT screen = at;
    ::ClientToScreen(window, &screen);
    ::SetCursorPos(screen.x, screen.y);
    ::SetCursor(nullptr);
    ::SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return ::GetCursor();
}

TEST_F(UTextWndTest, LinksShowTheHandCursor) {
    const HCURSOR hand = ::LoadCursorA(nullptr, IDC_HAND);
    const HCURSOR arrow = ::LoadCursorA(nullptr, IDC_ARROW);
    Recorder recorder;
    const struct {
        bool link;
        UINT command;
        HCURSOR cursor;
    } cases[] = {{true, UTextWnd::kNoCommand, hand}, {false, 42, hand}, {false, UTextWnd::kNoCommand, arrow}};
    for (const auto& c : cases) {
        UTextWnd text;
        if (c.link)
            text.SetLink(&recorder, 0);
        text.SetCommandId(c.command);
        ASSERT_TRUE(text.Create(Host(), kTextRect, "About real-time protection."));
        EXPECT_EQ(c.cursor, CursorOver(text.Window(), POINT{5, 5}));
    }
}

LOGFONTA DescriptionOf(HFONT font) {
    LOGFONTA description = {};
    ::GetObjectA(font, sizeof description, &description);
    return description;
}

TEST(UTextWnd, SetFontRefusesBadFacesAndKeepsTheFontItHad) {
    testing_support::DiagnosticCapture diagnostics;
    UTextWnd text;
    ASSERT_TRUE(text.SetFont("Tahoma", 15, FW_BLACK));
    const HFONT tahoma = text.Font();
    const std::string face31(31, 'F');
    const std::string face32(32, 'F');
    const struct {
        const char* face;
        bool accepted;
        const char* report;
    } cases[] = {
        {nullptr, false, "NULL pointer"},
        {face32.c_str(), false, "Font name too long"},
        {face31.c_str(), true, nullptr},
    };
    for (const auto& c : cases) {
        diagnostics.Clear();
        EXPECT_EQ(c.accepted, text.SetFont(c.face, 11, FW_MEDIUM));
        if (c.report) {
            EXPECT_EQ(tahoma, text.Font());
            EXPECT_TRUE(PumpUntil([&] { return diagnostics.Reported("UTextWnd::SetFont", c.report); }))
                << c.report;
        }
    }
    EXPECT_EQ(face31, DescriptionOf(text.Font()).lfFaceName);

    // Underline is a new font with the same description otherwise.
    ASSERT_TRUE(text.SetFont("Tahoma", 11, FW_MEDIUM));
    ASSERT_TRUE(text.SetUnderline(true));
    const LOGFONTA underlined = DescriptionOf(text.Font());
    EXPECT_TRUE(underlined.lfUnderline);
    EXPECT_STREQ("Tahoma", underlined.lfFaceName);
    EXPECT_EQ(11, underlined.lfHeight);
    EXPECT_EQ(FW_MEDIUM, underlined.lfWeight);
    EXPECT_EQ(ANTIALIASED_QUALITY, underlined.lfQuality);
    ASSERT_TRUE(text.SetUnderline(false));
    EXPECT_FALSE(DescriptionOf(text.Font()).lfUnderline);
}

TEST(UTextWnd, MeasuresOneLineOrWrappedAtAWidth) {
    UTextWnd text;
    ASSERT_TRUE(text.SetFont("Tahoma", 13, FW_MEDIUM));
    const std::string words = "This site has been reported to send unwanted mail to its visitors";
    const SIZE line = text.Measure(words, 0);
    const SIZE wrapped = text.Measure(words, 120);
    const SIZE word = text.Measure("This", 0);
    EXPECT_GT(line.cx, 120);
    EXPECT_GE(line.cy, 13);
    EXPECT_LE(wrapped.cx, 120);
    EXPECT_GE(wrapped.cy, 3 * line.cy);
    EXPECT_LT(word.cx, line.cx / 5);
    EXPECT_EQ(line.cy, word.cy);
    const SIZE twoLines = text.Measure("one\r\ntwo", 0);
    EXPECT_EQ(2 * line.cy, twoLines.cy);
}

TEST_F(UTextWndTest, DrawsItsTextOverTheParentAndTheCaptureSavesItAsPng) {
    constexpr COLORREF kRed = RGB(255, 0, 0);
    constexpr COLORREF kWhite = RGB(255, 255, 255);
    for (const bool transparent : {true, false}) {
        UTextWnd text;
        ASSERT_TRUE(text.SetFont("Tahoma", 24, FW_BOLD));
        ASSERT_TRUE(text.SetAntialiased(false));  // exact colours to count
        text.SetTextColour(kRed);
        if (!transparent)  // transparent is the default
            text.SetTransparentBackground(false, kWhite);
        text.SetDrawFlags(DT_SINGLELINE | DT_NOPREFIX);
        ASSERT_TRUE(text.Create(Host(), kTextRect, "MMMM"));

        const WindowCapture capture(Host());
        ASSERT_TRUE(capture.IsValid());
        EXPECT_EQ(kHostRect.right - kHostRect.left, capture.Width());
        const int red = capture.CountPixels(kRed, kTextRect);
        EXPECT_GT(red, 100);
        EXPECT_EQ(0, capture.CountPixels(kRed, RECT{kTextRect.right, 0, capture.Width(), capture.Height()}));
        // The corner beyond the text shows the parent, or the background chosen.
        const COLORREF corner = capture.PixelAt(kTextRect.right - 2, kTextRect.bottom - 2);
        EXPECT_EQ(transparent ? kHostColour : kWhite, corner);
        EXPECT_EQ(kHostColour, capture.PixelAt(kTextRect.left - 1, kTextRect.top));

        // The PNG file holds the same picture.
        const std::string name = transparent ? "widgets-text-transparent" : "widgets-text-opaque";
        ASSERT_EQ(S_OK, capture.SaveScreenshot(name));
        const WindowCapture saved = WindowCapture::FromPng(WindowCapture::ScreenshotFolder() + name + ".png");
        ASSERT_TRUE(saved.IsValid());
        EXPECT_EQ(capture.Width(), saved.Width());
        EXPECT_EQ(capture.Height(), saved.Height());
        EXPECT_EQ(red, saved.CountPixels(kRed, kTextRect));
        EXPECT_EQ(corner, saved.PixelAt(kTextRect.right - 2, kTextRect.bottom - 2));
    }
}

TEST_F(UTextWndTest, EveryCaptureSourceSeesTheTextAndTheParent) {
    constexpr COLORREF kBlue = RGB(0, 0, 255);
    UTextWnd text;
    ASSERT_TRUE(text.SetFont("Tahoma", 24, FW_BOLD));
    ASSERT_TRUE(text.SetAntialiased(false));
    text.SetTextColour(kBlue);
    text.SetDrawFlags(DT_SINGLELINE | DT_NOPREFIX);
    ASSERT_TRUE(text.Create(Host(), kTextRect, "MMMM"));
    const WindowCapture reference(Host());
    const int blue = reference.CountPixels(kBlue, kTextRect);
    ASSERT_GT(blue, 100);
    for (const auto source : {WindowCapture::Source::Screen, WindowCapture::Source::PrintWindow}) {
        PumpUntil([] { return false; }, 50);  // let the screen catch up
        const WindowCapture capture(Host(), source);
        ASSERT_TRUE(capture.IsValid()) << static_cast<int>(source);
        EXPECT_EQ(blue, capture.CountPixels(kBlue, kTextRect)) << static_cast<int>(source);
        EXPECT_EQ(kHostColour, capture.PixelAt(kTextRect.right - 2, kTextRect.bottom - 2)) << static_cast<int>(source);
        EXPECT_EQ(kHostColour, capture.PixelAt(capture.Width() - 1, capture.Height() - 1)) << static_cast<int>(source);
    }
}

TEST_F(UTextWndTest, NoGdiOrUserObjectsLeakOverManyFontChangesAndPaints) {
    UTextWnd text;
    ASSERT_TRUE(text.Create(Host(), kTextRect, "Never warn on this site"));
    auto cycle = [&](int times) {
        for (int i = 0; i < times; ++i) {
            text.SetFont("Tahoma", 11 + i % 5, FW_MEDIUM);
            text.SetUnderline(i % 2 == 0);
            text.Measure(i % 3);
            ::RedrawWindow(text.Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        }
    };
    cycle(10);
    const DWORD gdiBefore = testing_support::GdiObjectCount();
    const DWORD userBefore = testing_support::UserObjectCount();
    cycle(1000);
    const DWORD gdiAfter = testing_support::GdiObjectCount();
    const DWORD userAfter = testing_support::UserObjectCount();
    std::printf("GDI objects %lu -> %lu, USER objects %lu -> %lu\n", gdiBefore, gdiAfter, userBefore, userAfter);
    ASSERT_GT(gdiBefore, 0u);
    ASSERT_GT(userBefore, 0u);
    EXPECT_LE(gdiAfter, gdiBefore + 2);
    EXPECT_LE(userAfter, userBefore + 2);
}

}  // namespace
