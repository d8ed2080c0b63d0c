#include "utils/Bitmap/UBMPWnd.h"

#include "tests/support/DiagnosticCapture.h"
#include "tests/support/FakeRatingService.h"
#include "tests/support/GuiResources.h"
#include "tests/support/HostWindow.h"
#include "tests/support/WindowCapture.h"
#include "utils/Ownership/GdiOwnership.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using testing_support::HostWindow;
using testing_support::PumpUntil;

// A strip of three 8 x 6 frames. Column 0 of every frame and the pixel
// (4, 3) inside it have the key colour, which is also the top-left pixel's:
// a hole in the middle of the picture.
constexpr int kFrameWidth = 8;
constexpr int kHeight = 6;
constexpr COLORREF kKey = RGB(255, 0, 255);
constexpr COLORREF kFrameColours[] = {RGB(200, 0, 0), RGB(0, 160, 0), RGB(0, 0, 220)};
constexpr POINT kHole = {4, 3};
constexpr COLORREF kHostColour = RGB(10, 20, 30);

HBITMAP MakeBitmap(int width, int height, const std::function<COLORREF(int x, int y)>& colourAt) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap)
        return nullptr;
    auto* pixels = static_cast<std::uint32_t*>(bits);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const COLORREF colour = colourAt(x, y);
            pixels[y * width + x] = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
        }
    }
    return bitmap;
}

COLORREF StripColourAt(int x, int y) {
    const int frame = x / kFrameWidth;
    const int column = x % kFrameWidth;
    if (column == 0 || (column == kHole.x && y == kHole.y))
        return kKey;
    return kFrameColours[frame];
}

HBITMAP MakeStrip() {
    return MakeBitmap(3 * kFrameWidth, kHeight, &StripColourAt);
}

void LoadStrip(UBitmap& bitmap) {
    ASSERT_TRUE(bitmap.Attach(MakeStrip()));
    bitmap.SetFrameCount(3);
}

TEST(UBitmap, HitTestLeavesOutTheTransparentColourOnlyWhenDrawnTransparently) {
    struct Case {
        bool transparent;
        COLORREF chosen;
        int frame;
        POINT point;
        bool inside;
    };
    constexpr COLORREF kGreen = kFrameColours[1];
    const Case cases[] = {
        {true, UBitmap::kTopLeftColour, 0, {1, 1}, true},
        {true, UBitmap::kTopLeftColour, 0, {0, 2}, false},           // the key column
        {true, UBitmap::kTopLeftColour, 1, kHole, false},            // the hole inside
        {true, UBitmap::kTopLeftColour, 2, {kHole.x, 2}, true},      // next to it
        {false, UBitmap::kTopLeftColour, 1, kHole, true},            // solid: no holes
        {true, kGreen, 1, kHole, true},                              // a chosen colour
        {true, kGreen, 1, {1, 1}, false},
        {true, kGreen, 0, {1, 1}, true},
        {true, UBitmap::kTopLeftColour, 0, {kFrameWidth, 1}, false}, // beyond the frame
        {true, UBitmap::kTopLeftColour, 0, {-1, 1}, false},
        {true, UBitmap::kTopLeftColour, 0, {1, kHeight}, false},
    };
    for (const Case& c : cases) {
        UBitmap bitmap;
        LoadStrip(bitmap);
        bitmap.SetTransparent(c.transparent);
        bitmap.SetTransparentColour(c.chosen);
        bitmap.SetCurrentFrame(c.frame);
        EXPECT_EQ(c.inside, bitmap.HitTest(c.point))
            << "frame " << c.frame << " at " << c.point.x << "," << c.point.y << " transparent " << c.transparent;
    }
}

TEST(UBitmap, SizeIsOneFrameAndFailuresAreReported) {
    testing_support::DiagnosticCapture diagnostics;
    UBitmap bitmap;
    LoadStrip(bitmap);
    EXPECT_EQ(kKey, bitmap.EffectiveTransparentColour());
    const SIZE frame = bitmap.GetSize();
    EXPECT_EQ(kFrameWidth, frame.cx);
    EXPECT_EQ(kHeight, frame.cy);

    bitmap.SetFrameCount(0);
    const SIZE none = bitmap.GetSize();
    EXPECT_EQ(0, none.cx);
    EXPECT_EQ(0, none.cy);
    EXPECT_FALSE(bitmap.HitTest(POINT{1, 1}));

    EXPECT_FALSE(bitmap.LoadFromResource(::GetModuleHandleA(nullptr), 4242));
    EXPECT_FALSE(bitmap.IsLoaded());
    EXPECT_FALSE(bitmap.Attach(nullptr));
    ASSERT_TRUE(PumpUntil([&] {
        return diagnostics.Reported("UBitmap::GetSize", "Divide by zero frames") &&
               diagnostics.Reported("UBitmap::LoadFromResource", "Couldn't load image from resource") &&
               diagnostics.Reported("UBitmap::Attach", "NULL pointer");
    }));
}

TEST(UBitmap, LoadsAResourceOfTheGivenModule) {
    UBitmap bitmap;
    bitmap.SetFrameCount(2);  // kept across loads
    ASSERT_TRUE(bitmap.LoadFromResource(::GetModuleHandleA(nullptr), 7));  // tests/UBitmapTest.rc
    EXPECT_EQ(10, bitmap.Width());
    EXPECT_EQ(3, bitmap.Height());
    EXPECT_EQ(5, bitmap.GetSize().cx);
    EXPECT_EQ(kKey, bitmap.EffectiveTransparentColour());
    EXPECT_EQ(RGB(200, 0, 0), bitmap.PixelAt(1, 0));
    EXPECT_EQ(RGB(0, 160, 0), bitmap.PixelAt(9, 2));
    bitmap.SetTransparent(true);
    bitmap.SetCurrentFrame(1);
    EXPECT_FALSE(bitmap.HitTest(POINT{2, 1}));
    EXPECT_TRUE(bitmap.HitTest(POINT{2, 0}));
    // Another module's resources are not this program's.
    EXPECT_FALSE(bitmap.LoadFromResource(::GetModuleHandleA("kernel32.dll"), 7));
    EXPECT_FALSE(bitmap.IsLoaded());
}

// Draws into a 32-bit canvas filled with kHostColour and reads it back.
class Canvas {
public:
    Canvas(int width, int height) : width_(width) {
        bitmap_.Reset(MakeBitmap(width, height, [](int, int) { return kHostColour; }));
        dc_.Reset(::CreateCompatibleDC(nullptr));
        selection_.emplace(dc_.Get(), bitmap_.Get());
    }
    HDC Dc() const { return dc_.Get(); }
    COLORREF At(int x, int y) const { return ::GetPixel(dc_.Get(), x, y); }

private:
    int width_;
    win::UniqueBitmap bitmap_;
    win::UniqueMemoryDC dc_;
    std::optional<win::ScopedSelectObject> selection_;
};

TEST(UBitmap, DrawsTheCurrentFrameSolidOrWithHoles) {
    for (const bool transparent : {false, true}) {
        for (int frame = 0; frame < 3; ++frame) {
            UBitmap bitmap;
            LoadStrip(bitmap);
            bitmap.SetTransparent(transparent);
            bitmap.SetCurrentFrame(frame);
            Canvas canvas(20, 10);
            ASSERT_TRUE(bitmap.Draw(canvas.Dc(), 2, 1));
            const COLORREF key = transparent ? kHostColour : kKey;
            EXPECT_EQ(kHostColour, canvas.At(1, 1));                      // left of the picture
            EXPECT_EQ(key, canvas.At(2, 1));                              // key column
            EXPECT_EQ(kFrameColours[frame], canvas.At(3, 1));
            EXPECT_EQ(key, canvas.At(2 + kHole.x, 1 + kHole.y));          // the hole
            EXPECT_EQ(kFrameColours[frame], canvas.At(2 + kHole.x + 1, 1 + kHole.y));
            EXPECT_EQ(kFrameColours[frame], canvas.At(2 + kFrameWidth - 1, kHeight));
            EXPECT_EQ(kHostColour, canvas.At(2 + kFrameWidth, 1));        // the next frame is not drawn
        }
    }
}

// A button that records its notifications and answers MouseDown as told.
class RecordingButton : public UBMPWnd {
public:
    bool mouseDownAnswer = true;
    std::vector<std::string> calls;

protected:
    bool MouseDown(POINT) override {
        calls.push_back("down");
        return mouseDownAnswer;
    }
    void MouseUp(POINT point) override {
        calls.push_back("up");
        UBMPWnd::MouseUp(point);
    }
    void TimerElapsed(UINT_PTR id) override { calls.push_back("timer " + std::to_string(id)); }
};

constexpr RECT kHostRect = {100, 100, 300, 200};

// One shown host for all window tests (see HostWindow on why).
class UBMPWndTest : public testing::Test {
protected:
    static void SetUpTestSuite() { host_ = std::make_unique<HostWindow>(kHostRect, kHostColour); }
    static void TearDownTestSuite() { host_.reset(); }
    void SetUp() override { host_->ClearCommands(); }
    static HWND Host() { return host_->Get(); }

    static std::unique_ptr<HostWindow> host_;
};
std::unique_ptr<HostWindow> UBMPWndTest::host_;
constexpr POINT kButtonAt = {20, 10};  // in the host

RECT ButtonRect() {
    return RECT{kButtonAt.x, kButtonAt.y, kButtonAt.x + kFrameWidth, kButtonAt.y + kHeight};
}

void MakeButton(RecordingButton& button, HWND host) {
    LoadStrip(button.Bitmap());
    button.Bitmap().SetTransparent(true);
    button.SetButtonMode(true);
    ASSERT_TRUE(button.Create(host, ButtonRect()));
}

// Pumps without passing on any pointer message: only the timer can see the pointer.
bool PumpWithoutMouseUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    for (;;) {
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message >= WM_MOUSEFIRST && message.message <= WM_MOUSELAST)
                continue;
            if (message.message == WM_SETCURSOR || message.message == WM_NCHITTEST)
                continue;
            ::DispatchMessageA(&message);
        }
        if (done())
            return true;
        if (::GetTickCount64() >= end)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

TEST_F(UBMPWndTest, HoverFrameFollowsThePointerByTimerAlone) {
    RecordingButton button;
    MakeButton(button, Host());
    const POINT origin = {kHostRect.left + kButtonAt.x, kHostRect.top + kButtonAt.y};

    struct Step {
        POINT at;  // in the button
        int state;
    };
    const Step steps[] = {
        {{2, 2}, UBMPWnd::kPointerOver},
        {kHole, UBMPWnd::kNormal},  // a hole is outside
        {{5, 1}, UBMPWnd::kPointerOver},
        {{60, 40}, UBMPWnd::kNormal},  // gone
    };
    for (const Step& step : steps) {
        ASSERT_TRUE(::SetCursorPos(origin.x + step.at.x, origin.y + step.at.y));
        const ULONGLONG start = ::GetTickCount64();
        ASSERT_TRUE(PumpWithoutMouseUntil([&] { return button.GetHoverState() == step.state; }, 1000))
            << step.at.x << "," << step.at.y;
        // One period of the hover timer, with room for a loaded machine.
        EXPECT_LE(::GetTickCount64() - start, 250u);
        EXPECT_EQ(step.state, button.Bitmap().CurrentFrame());
    }
    EXPECT_TRUE(button.calls.empty());
}

TEST_F(UBMPWndTest, PressAndReleaseThroughMouseMessages) {
    struct Case {
        bool mouseDownAnswer;
        POINT releasedAt;    // button client coordinates
        int frameWhileDown;  // after the press has been handled
        int frameAfter;
        bool clicked;        // MouseUp heard and WM_COMMAND sent
    };
    const Case cases[] = {
        {true, {2, 2}, 2, 1, true},
        {true, {50, 50}, 2, 0, false},  // released outside: no click
        {false, {2, 2}, 1, 1, false},   // refused: back to pointer-over at once
    };
    for (const Case& c : cases) {
        host_->ClearCommands();
        RecordingButton button;
        MakeButton(button, Host());
        ::KillTimer(button.Window(), UBMPWnd::kHoverTimer);  // the messages alone decide
        button.SetCommandId(1234);
        button.mouseDownAnswer = c.mouseDownAnswer;

        ::SendMessageA(button.Window(), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
        EXPECT_EQ(1, button.Bitmap().CurrentFrame());
        ::SendMessageA(button.Window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        EXPECT_EQ(c.frameWhileDown, button.Bitmap().CurrentFrame());
        EXPECT_EQ(c.mouseDownAnswer, ::GetCapture() == button.Window());
        ::SendMessageA(button.Window(), WM_LBUTTONUP, 0, MAKELPARAM(c.releasedAt.x, c.releasedAt.y));
        EXPECT_EQ(c.frameAfter, button.Bitmap().CurrentFrame());
        EXPECT_EQ(nullptr, ::GetCapture());

        std::vector<std::string> expected = {"down"};
        if (c.clicked)
            expected.push_back("up");
        EXPECT_EQ(expected, button.calls);
        const std::vector<WPARAM> commands =
            c.clicked ? std::vector<WPARAM>{MAKEWPARAM(1234, BN_CLICKED)} : std::vector<WPARAM>{};
        EXPECT_EQ(commands, host_->Commands());
    }
}

TEST_F(UBMPWndTest, TheHandCursorIsOnlyOverThePictureOfALinkOrCommand) {
    const HCURSOR hand = ::LoadCursorA(nullptr, IDC_HAND);
    const HCURSOR arrow = ::LoadCursorA(nullptr, IDC_ARROW);
    const struct {
        UINT command;
        POINT at;
        HCURSOR cursor;
    } cases[] = {
        {77, {2, 2}, hand},
        {77, kHole, arrow},
        {UBMPWnd::kNoCommand, {2, 2}, arrow},
    };
    for (const auto& c : cases) {
        RecordingButton button;
        MakeButton(button, Host());
        button.SetCommandId(c.command);
        POINT screen = c.at;
        ::ClientToScreen(button.Window(), &screen);
        ::SetCursorPos(screen.x, screen.y);
        ::SetCursor(nullptr);
        ::SendMessageA(button.Window(), WM_SETCURSOR, reinterpret_cast<WPARAM>(button.Window()),
                       MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(c.cursor, ::GetCursor()) << c.at.x << "," << c.at.y;
    }
}

TEST_F(UBMPWndTest, AHoleIsNotTheButtonAndOtherTimersReachTheSubclass) {
    RecordingButton button;
    MakeButton(button, Host());
    ::KillTimer(button.Window(), UBMPWnd::kHoverTimer);
    ::SendMessageA(button.Window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(kHole.x, kHole.y));
    EXPECT_EQ(0, button.Bitmap().CurrentFrame());
    EXPECT_EQ(nullptr, ::GetCapture());
    ::SendMessageA(button.Window(), WM_TIMER, 77, 0);
    EXPECT_EQ(std::vector<std::string>{"timer 77"}, button.calls);
}

TEST_F(UBMPWndTest, TheWindowShowsItsFrameWithTheParentThroughTheHoles) {
    RecordingButton button;
    MakeButton(button, Host());
    ::KillTimer(button.Window(), UBMPWnd::kHoverTimer);
    for (const int frame : {1, 2}) {
        button.SetFrame(frame);
        const testing_support::WindowCapture capture(Host());
        ASSERT_TRUE(capture.IsValid());
        const POINT at = kButtonAt;
        EXPECT_EQ(kFrameColours[frame], capture.PixelAt(at.x + 1, at.y));
        EXPECT_EQ(kFrameColours[frame], capture.PixelAt(at.x + kFrameWidth - 1, at.y + kHeight - 1));
        EXPECT_EQ(kHostColour, capture.PixelAt(at.x, at.y));                      // key column
        EXPECT_EQ(kHostColour, capture.PixelAt(at.x + kHole.x, at.y + kHole.y));  // the hole
        EXPECT_EQ(kHostColour, capture.PixelAt(at.x + kFrameWidth, at.y));        // beside the button
        EXPECT_EQ((kFrameWidth - 1) * kHeight - 1,
                  capture.CountPixels(kFrameColours[frame],
                                      RECT{at.x, at.y, at.x + kFrameWidth, at.y + kHeight}));
    }
}

TEST_F(UBMPWndTest, AnimationStepsThroughTheFramesUntilStopped) {
    UBMPWnd picture;
    LoadStrip(picture.Bitmap());
    ASSERT_TRUE(picture.Create(Host(), ButtonRect()));
    picture.StartAnimation(20);
    // The real timer runs...
    ASSERT_TRUE(PumpUntil([&] { return picture.Bitmap().CurrentFrame() == 2; }, 2000));
    // ...and each tick steps one frame, round the strip.
    for (const int expected : {0, 1, 2, 0}) {
        ::SendMessageA(picture.Window(), WM_TIMER, UBMPWnd::kAnimationTimer, 0);
        EXPECT_EQ(expected, picture.Bitmap().CurrentFrame());
    }
    picture.StopAnimation();
    ::SendMessageA(picture.Window(), WM_TIMER, UBMPWnd::kAnimationTimer, 0);
    PumpUntil([] { return false; }, 100);
    EXPECT_EQ(0, picture.Bitmap().CurrentFrame());
}

TEST_F(UBMPWndTest, NoGdiOrUserObjectsLeakOverManyLoadsAndDraws) {
    RecordingButton button;
    MakeButton(button, Host());
    auto cycle = [&](int times) {
        for (int i = 0; i < times; ++i) {
            LoadStrip(button.Bitmap());
            button.SetFrame(i % 3);  // paints at once
            UBitmap loose;
            LoadStrip(loose);
            loose.SetTransparent(true);
            Canvas canvas(20, 10);
            loose.Draw(canvas.Dc(), 0, 0);
        }
    };
    cycle(10);  // first-use objects (classes, stock caches) before counting
    const DWORD gdiBefore = testing_support::GdiObjectCount();
    const DWORD userBefore = testing_support::UserObjectCount();
    cycle(1000);
    const DWORD gdiAfter = testing_support::GdiObjectCount();
    const DWORD userAfter = testing_support::UserObjectCount();
    ASSERT_GT(gdiBefore, 0u);  // a count, not a stub's zero
    ASSERT_GT(userBefore, 0u);
    std::printf("GDI objects %lu -> %lu, USER objects %lu -> %lu\n", gdiBefore, gdiAfter, userBefore, userAfter);
    EXPECT_LE(gdiAfter, gdiBefore + 2);
    EXPECT_LE(userAfter, userBefore + 2);
}

}  // namespace
