#include "utils/Widgets/UTransparencyMgr.h"

#include "tests/support/DiagnosticCapture.h"
#include "tests/support/FakeRatingService.h"

#include <gtest/gtest.h>

namespace {

TEST(UTransparencyMgr, AlphaIsPercentOf255RoundedDown) {
    const struct {
        int percent;
        BYTE alpha;
    } cases[] = {{97, 247}, {100, 255}, {50, 127}, {1, 2}, {0, 0}, {150, 255}, {-5, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(c.alpha, UTransparencyMgr::AlphaFromPercent(c.percent)) << c.percent;
}

TEST(UTransparencyMgr, MakesTheWindowLayeredWithThatAlpha) {
    // Hidden: layered attributes need no showing, and a hidden window goes at once.
    win::UniqueWindow window(::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                               ::GetModuleHandleA(nullptr), nullptr));
    ASSERT_TRUE(window);
    UTransparencyMgr transparency(window.Get());
    ASSERT_TRUE(transparency.SetTransparency(97));
    EXPECT_TRUE(::GetWindowLongPtrA(window.Get(), GWL_EXSTYLE) & WS_EX_LAYERED);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(::GetLayeredWindowAttributes(window.Get(), nullptr, &alpha, &flags));
    EXPECT_EQ(247, alpha);
    EXPECT_EQ(static_cast<DWORD>(LWA_ALPHA), flags);

    testing_support::DiagnosticCapture diagnostics;
    UTransparencyMgr none;
    EXPECT_FALSE(none.SetTransparency(97));
    EXPECT_TRUE(testing_support::PumpUntil(
        [&] { return diagnostics.Reported("UTransparencyMgr::SetTransparency", "NULL pointer"); }));
}

}  // namespace
