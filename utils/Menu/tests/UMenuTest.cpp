#include "utils/Menu/UMenu.h"

#include "tests/support/DiagnosticCapture.h"
#include "tests/support/FakeRatingService.h"
#include "utils/Menu/UMenuItemDrawer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

using testing_support::PumpUntil;

constexpr UINT kMenu = 300;  // tests/UMenuTest.rc
constexpr UINT kFirst = 101;
constexpr UINT kSecond = 102;
constexpr UINT kThird = 103;

HMODULE ThisProgram() {
    return ::GetModuleHandleA(nullptr);
}

std::string ItemText(const UMenu& menu, UINT id) {
    char text[64] = {};
    ::GetMenuStringA(menu.Popup(), id, text, sizeof text, MF_BYCOMMAND);
    return text;
}

TEST(UMenu, UsesTheFirstSubmenuAndChangesItemsByCommand) {
    UMenu menu;
    ASSERT_TRUE(menu.Load(ThisProgram(), kMenu));
    const HMENU popup = menu.Popup();
    ASSERT_NE(nullptr, popup);
    EXPECT_EQ(4, ::GetMenuItemCount(popup));
    EXPECT_EQ(kFirst, ::GetMenuItemID(popup, 0));

    EXPECT_TRUE(menu.EnableItem(kSecond, false));
    EXPECT_TRUE(::GetMenuState(popup, kSecond, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(menu.EnableItem(kSecond, true));
    EXPECT_FALSE(::GetMenuState(popup, kSecond, MF_BYCOMMAND) & MF_GRAYED);

    EXPECT_TRUE(menu.SetItemText(kThird, "Turn off"));
    EXPECT_EQ("Turn off", ItemText(menu, kThird));
    EXPECT_EQ("First", ItemText(menu, kFirst));

    // The loaded menu goes with its owner.
    menu.Destroy();
    EXPECT_FALSE(::IsMenu(popup));
}

TEST(UMenu, ReportsUseBeforeLoadingAndAMissingResource) {
    testing_support::DiagnosticCapture diagnostics;
    UMenu menu;
    EXPECT_FALSE(menu.EnableItem(kFirst, false));
    EXPECT_FALSE(menu.SetItemText(kFirst, "x"));
    EXPECT_EQ(0u, menu.TrackPopupMenu(10, 10, TPM_LEFTALIGN));
    EXPECT_FALSE(menu.Load(ThisProgram(), 4242));
    EXPECT_FALSE(menu.OnDrawItem(0));
    ASSERT_TRUE(menu.Load(ThisProgram(), kMenu));
    EXPECT_EQ(nullptr, menu.ItemFromId(999));
    EXPECT_EQ(nullptr, menu.ItemFromId(kFirst));  // an item without a drawer
    EXPECT_TRUE(PumpUntil([&] {
        return diagnostics.Reported("UMenu::EnableItem", "Menu not initialized") &&
               diagnostics.Reported("UMenu::SetItemText", "Menu not initialized") &&
               diagnostics.Reported("UMenu::TrackPopupMenu", "Menu not initialized") &&
               diagnostics.Reported("UMenu::Load", "Couldn't load menu from resource") &&
               diagnostics.Reported("UMenu::OnDrawItem", "NULL LPARAM") &&
               diagnostics.Reported("UMenu::ItemFromId", "GetMenuItemInfo failed");
    }));
}

// Plays the user: waits for the menu to show, then presses keys in it.
class MenuKeys {
public:
    explicit MenuKeys(std::vector<WPARAM> keys)
        : thread_([this, keys] {
              HWND menu = nullptr;
              for (int i = 0; i < 500 && !menu; ++i) {
                  menu = ::FindWindowA("#32768", nullptr);
                  if (menu && !::IsWindowVisible(menu))
                      menu = nullptr;
                  if (!menu)
                      ::Sleep(10);
              }
              found_ = menu != nullptr;
              for (const WPARAM key : keys)
                  ::PostMessageA(menu, WM_KEYDOWN, key, 0);
          }) {}
    ~MenuKeys() { Join(); }
    bool FoundMenu() {
        Join();
        return found_;
    }

private:
    void Join() {
        if (thread_.joinable())
            thread_.join();
    }

    std::atomic<bool> found_{false};
    std::thread thread_;
};

class RecordingDrawer : public UMenuItemDrawer {
public:
    void MeasureItem(MEASUREITEMSTRUCT& item) override {
        measured.push_back(item.itemID);
        item.itemWidth = 80;
        item.itemHeight = 20;
    }
    void DrawItem(const DRAWITEMSTRUCT& item) override { drawn.push_back(item.itemID); }
    std::vector<UINT> measured;
    std::vector<UINT> drawn;
};

TEST(UMenu, TrackingReturnsTheChosenCommand) {
    const struct {
        std::vector<WPARAM> keys;
        UINT command;
    } cases[] = {
        {{VK_DOWN, VK_RETURN}, kFirst},
        {{VK_DOWN, VK_DOWN, VK_RETURN}, kSecond},
        {{VK_ESCAPE}, 0},
    };
    for (const auto& c : cases) {
        UMenu menu;
        ASSERT_TRUE(menu.Load(ThisProgram(), kMenu));
        RecordingDrawer drawer;
        ASSERT_TRUE(menu.SetItemDrawer(kThird, &drawer));
        EXPECT_EQ(&drawer, menu.ItemFromId(kThird));
        MenuKeys user(c.keys);
        EXPECT_EQ(c.command, menu.TrackPopupMenu(150, 150, TPM_LEFTALIGN | TPM_TOPALIGN));
        ASSERT_TRUE(user.FoundMenu());
        // The owner-drawn item was measured and drawn through its drawer.
        EXPECT_EQ(std::vector<UINT>{kThird}, drawer.measured);
        EXPECT_FALSE(drawer.drawn.empty());
        for (const UINT id : drawer.drawn)
            EXPECT_EQ(kThird, id);
    }
}

}  // namespace
