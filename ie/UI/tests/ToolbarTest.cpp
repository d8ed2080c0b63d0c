// The toolbar band as the browser drives it: made by the module's class
// table, sited in a stand-in toolbar area, sized, shown, focused, closed.
#include "ie/UI/tests/UITesting.h"

#include "ie/Module/ModuleLock.h"
#include "ie/Module/RunningBrowserMap.h"
#include "ie/UI/TBCtrl.h"
#include "ie/res/ResourceIds.h"
#include "tests/support/DiagnosticCapture.h"

#include <commctrl.h>

#include <cstring>

using testing_support::FakeBandSite;
using ui_testing::AsBand;
using ui_testing::BandFixture;
using ui_testing::CreateFromClassTable;

namespace {

std::string ClassOf(HWND window) {
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

win::ComPtr<IObjectWithSite> Siteable(const win::ComPtr<IDeskBand>& band) {
    win::ComPtr<IObjectWithSite> siteable;
    band.As(&siteable);
    return siteable;
}

// The band answers for every interface a browser asks of a tool band, and
// each answer is the same object.
TEST(ToolbarTest, ServesTheInterfacesOfAToolBand) {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const LONG locks = ModuleLockCount();
    {
        win::ComPtr<IDeskBand> band = CreateFromClassTable<IDeskBand>(CLSID_QuillonToolbar, IID_IDeskBand);
        ASSERT_TRUE(band);
        EXPECT_EQ(ModuleLockCount(), locks + 1) << "a live band holds the module";
        win::ComPtr<IUnknown> identity;
        ASSERT_EQ(band->QueryInterface(IID_IUnknown, identity.ReleaseAndGetVoidAddressOf()), S_OK);
        for (const IID* iid : {&IID_IOleWindow, &IID_IDockingWindow, &IID_IDeskBand, &IID_IObjectWithSite,
                               &IID_IInputObject, &IID_IPersist, &IID_IPersistStream}) {
            win::ComPtr<IUnknown> served;
            ASSERT_EQ(band->QueryInterface(*iid, served.ReleaseAndGetVoidAddressOf()), S_OK);
            win::ComPtr<IUnknown> same;
            served->QueryInterface(IID_IUnknown, same.ReleaseAndGetVoidAddressOf());
            EXPECT_EQ(same, identity);
        }
        win::ComPtr<IUnknown> none;
        EXPECT_EQ(band->QueryInterface(IID_IDispatch, none.ReleaseAndGetVoidAddressOf()), E_NOINTERFACE);

        win::ComPtr<IPersistStream> persist;
        ASSERT_EQ(band.As(&persist), S_OK);
        CLSID clsid = {};
        EXPECT_EQ(persist->GetClassID(&clsid), S_OK);
        EXPECT_EQ(clsid, CLSID_QuillonToolbar);
        EXPECT_EQ(persist->IsDirty(), S_FALSE);
        EXPECT_EQ(persist->Load(nullptr), S_OK);
        EXPECT_EQ(persist->Save(nullptr, TRUE), S_OK);
        ULARGE_INTEGER size;
        size.QuadPart = 99;
        EXPECT_EQ(persist->GetSizeMax(&size), S_OK);
        EXPECT_EQ(size.QuadPart, 0u);

        EXPECT_EQ(band->ContextSensitiveHelp(TRUE), S_OK);
        EXPECT_EQ(band->ResizeBorderDW(nullptr, nullptr, FALSE), E_NOTIMPL);
        win::ComPtr<IUnknown> site;
        EXPECT_EQ(Siteable(band)->GetSite(IID_IUnknown, site.ReleaseAndGetVoidAddressOf()), E_FAIL);

        testing_support::DiagnosticCapture capture;
        EXPECT_EQ(band->GetWindow(nullptr), E_INVALIDARG);
        EXPECT_TRUE(capture.Reported("CToolbar::GetWindow", "NULL pointer"));
        HWND window = reinterpret_cast<HWND>(1);
        EXPECT_EQ(band->GetWindow(&window), S_OK);
        EXPECT_EQ(window, nullptr) << "no window before a site";
        EXPECT_EQ(band->ShowDW(TRUE), S_OK);
        EXPECT_EQ(band->CloseDW(0), S_OK);
        identity.Reset();
        persist.Reset();
        EXPECT_EQ(band.Detach()->Release(), 0u);
    }
    EXPECT_EQ(ModuleLockCount(), locks);
    ::CoUninitialize();
}

TEST(ToolbarTest, BandInfoSizes) {
    win::ComPtr<IDeskBand> band = CreateFromClassTable<IDeskBand>(CLSID_QuillonToolbar, IID_IDeskBand);
    ASSERT_TRUE(band);
    EXPECT_EQ(band->GetBandInfo(1, DBIF_VIEWMODE_NORMAL, nullptr), E_INVALIDARG);

    struct Case {
        DWORD mask;
        DWORD expectedMask;
    };
    const DWORD everything = DBIM_MINSIZE | DBIM_MAXSIZE | DBIM_INTEGRAL | DBIM_ACTUAL | DBIM_TITLE |
                             DBIM_MODEFLAGS | DBIM_BKCOLOR;
    const Case cases[] = {
        {everything, DBIM_MINSIZE | DBIM_MAXSIZE | DBIM_INTEGRAL | DBIM_ACTUAL | DBIM_MODEFLAGS},
        {DBIM_TITLE | DBIM_BKCOLOR, 0},
        {DBIM_MINSIZE, DBIM_MINSIZE},
    };
    DWORD bandId = 7;
    for (const Case& c : cases) {
        DESKBANDINFO info;
        std::memset(&info, 0x5A, sizeof info);
        info.dwMask = c.mask;
        const wchar_t untouched = info.wszTitle[0];
        ASSERT_EQ(band->GetBandInfo(bandId, DBIF_VIEWMODE_TRANSPARENT, &info), S_OK);
        EXPECT_EQ(info.dwMask, c.expectedMask) << std::hex << c.mask;
        EXPECT_EQ(info.wszTitle[0], untouched) << "no title";
        if (c.mask & DBIM_MINSIZE) {
            EXPECT_EQ(info.ptMinSize.x, 90);
            EXPECT_EQ(info.ptMinSize.y, 20);
        }
        if (c.mask & DBIM_MAXSIZE) {
            EXPECT_EQ(info.ptMaxSize.x, 30);
            EXPECT_EQ(info.ptMaxSize.y, -1) << "no height limit";
        }
        if (c.mask & DBIM_INTEGRAL) {
            EXPECT_EQ(info.ptIntegral.x, 1);
            EXPECT_EQ(info.ptIntegral.y, 1);
        }
        if (c.mask & DBIM_ACTUAL) {
            EXPECT_EQ(info.ptActual.x, 0);
            EXPECT_EQ(info.ptActual.y, 0);
        }
        if (c.mask & DBIM_MODEFLAGS) {
            EXPECT_EQ(info.dwModeFlags, static_cast<DWORD>(DBIMF_NORMAL));
        }
        EXPECT_EQ(AsBand(band)->BandId(), bandId);
        EXPECT_EQ(AsBand(band)->ViewMode(), static_cast<DWORD>(DBIF_VIEWMODE_TRANSPARENT));
        ++bandId;
    }
}

// Sited in a window owner, the band builds its window tree there and
// enters its thread in the map; closed and unsited, it leaves nothing.
TEST_F(BandFixture, SitedBandBuildsItsWindowTreeAndLeavesNothingBehind) {
    const LONG locks = ModuleLockCount();
    CreateBand();
    CToolbar* band = Band();
    EXPECT_EQ(RunningBrowserMap().GetToolbar(::GetCurrentThreadId()), band);
    EXPECT_TRUE(band->InBrowserMap());
    win::ComPtr<IUnknown> site;
    ASSERT_EQ(Siteable(band_)->GetSite(IID_IOleWindow, site.ReleaseAndGetVoidAddressOf()), S_OK);
    EXPECT_EQ(site.Get(), static_cast<IUnknown*>(static_cast<IOleWindow*>(site_.Get())));
    site.Reset();

    // The band window: a hidden child of the site's window over its client area.
    const HWND bandWindow = band->BandWindow();
    ASSERT_TRUE(bandWindow);
    EXPECT_EQ(::GetParent(bandWindow), site_->Window());
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongPtrA(bandWindow, GWL_STYLE)) & ~WS_CLIPSIBLINGS,
              static_cast<DWORD>(WS_CHILD));
    RECT bandRect = {};
    ::GetClientRect(bandWindow, &bandRect);
    EXPECT_EQ(bandRect.right, 400);
    EXPECT_EQ(bandRect.bottom, 26);

    // The toolbar control, which GetWindow answers, with its one slot.
    HWND control = nullptr;
    ASSERT_EQ(band_->GetWindow(&control), S_OK);
    EXPECT_EQ(control, band->ControlWindow());
    EXPECT_EQ(ClassOf(control), "ToolbarWindow32");
    EXPECT_EQ(::GetDlgCtrlID(control), 42);
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongPtrA(control, GWL_STYLE)), 0x54019B4Du);
    ASSERT_EQ(::SendMessageA(control, TB_BUTTONCOUNT, 0, 0), 1);
    TBBUTTON slot = {};
    ASSERT_TRUE(::SendMessageA(control, TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&slot)));
    EXPECT_EQ(slot.idCommand, 0x8000);
    EXPECT_EQ(slot.fsStyle & BTNS_SEP, BTNS_SEP);
    EXPECT_EQ(slot.fsState & TBSTATE_ENABLED, TBSTATE_ENABLED);
    EXPECT_EQ(slot.iBitmap, 90) << "the separator's width";

    // The menu bar in the slot, the button within it showing OFF.
    CMenuBarWnd* menuBar = MenuBar();
    ASSERT_TRUE(menuBar);
    EXPECT_EQ(::GetParent(menuBar->Window()), control);
    EXPECT_TRUE(::IsWindowVisible(menuBar->Window()));
    EXPECT_FALSE(::GetWindowLongPtrA(menuBar->Window(), GWL_STYLE) & WS_CLIPCHILDREN);
    RECT menuBarRect = {};
    ::GetClientRect(menuBar->Window(), &menuBarRect);
    EXPECT_EQ(menuBarRect.right, 90);
    const HWND button = menuBar->Button().Window();
    ASSERT_TRUE(button);
    RECT buttonRect = {};
    ::GetWindowRect(button, &buttonRect);
    ::MapWindowPoints(nullptr, menuBar->Window(), reinterpret_cast<POINT*>(&buttonRect), 2);
    EXPECT_EQ(buttonRect.left, 0);
    EXPECT_EQ(buttonRect.top, 1);
    EXPECT_EQ(buttonRect.right - buttonRect.left, 90);
    EXPECT_EQ(buttonRect.bottom - buttonRect.top, 18);
    EXPECT_EQ(menuBar->Face(), static_cast<UINT>(IDB_FACE_OFF));

    EXPECT_EQ(band_->ShowDW(FALSE), S_OK);
    EXPECT_FALSE(::IsWindowVisible(control));
    EXPECT_EQ(band_->ShowDW(TRUE), S_OK);
    EXPECT_TRUE(::IsWindowVisible(control));

    // Closed: the windows go, the map entry stays until the site goes.
    EXPECT_EQ(band_->CloseDW(0), S_OK);
    EXPECT_FALSE(::IsWindow(control));
    EXPECT_FALSE(::IsWindow(bandWindow));
    EXPECT_FALSE(::IsWindow(button));
    EXPECT_EQ(band->MenuBar(), nullptr);
    EXPECT_EQ(RunningBrowserMap().GetToolbar(::GetCurrentThreadId()), band);
    EXPECT_EQ(Siteable(band_)->SetSite(nullptr), S_OK);
    EXPECT_EQ(RunningBrowserMap().GetToolbar(::GetCurrentThreadId()), nullptr);
    EXPECT_FALSE(band->InBrowserMap());
    EXPECT_EQ(band_.Detach()->Release(), 0u);
    EXPECT_EQ(site_->References(), 1u) << "the site was let go";
    EXPECT_EQ(ModuleLockCount(), locks);
}

// Sites that are no window owners are refused with the log line and no
// window; a thread's second band is refused and leaves the first in place.
TEST_F(BandFixture, UnusableSitesAreRefused) {
    struct Case {
        FakeBandSite::Kind kind;
        const char* report;
    };
    const Case cases[] = {
        {FakeBandSite::Kind::kNoOleWindow, "Site is not an IOleWindow"},
        {FakeBandSite::Kind::kNoWindow, "Couldn't get site's window"},
    };
    for (const Case& c : cases) {
        testing_support::DiagnosticCapture capture;
        win::ComPtr<FakeBandSite> site = FakeBandSite::Create(c.kind);
        win::ComPtr<IDeskBand> band = CreateFromClassTable<IDeskBand>(CLSID_QuillonToolbar, IID_IDeskBand);
        ASSERT_TRUE(band);
        EXPECT_EQ(Siteable(band)->SetSite(static_cast<IOleWindow*>(site.Get())), E_FAIL) << c.report;
        EXPECT_TRUE(capture.Reported("CToolbar::SetSite", c.report));
        HWND window = reinterpret_cast<HWND>(1);
        band->GetWindow(&window);
        EXPECT_EQ(window, nullptr) << c.report;
        EXPECT_EQ(::GetWindow(site->Window(), GW_CHILD), nullptr) << c.report;
        EXPECT_EQ(RunningBrowserMap().GetToolbar(::GetCurrentThreadId()), nullptr) << c.report;
    }

    CreateBand();
    win::ComPtr<FakeBandSite> otherSite = FakeBandSite::Create();
    win::ComPtr<IDeskBand> second = CreateFromClassTable<IDeskBand>(CLSID_QuillonToolbar, IID_IDeskBand);
    EXPECT_EQ(Siteable(second)->SetSite(static_cast<IOleWindow*>(otherSite.Get())), E_FAIL);
    EXPECT_EQ(::GetWindow(otherSite->Window(), GW_CHILD), nullptr);
    EXPECT_EQ(Siteable(second)->SetSite(nullptr), S_OK);
    second.Reset();
    EXPECT_EQ(RunningBrowserMap().GetToolbar(::GetCurrentThreadId()), Band()) << "the first band keeps its entry";

    // Sited again elsewhere, the band moves with everything it built.
    const HWND oldControl = Band()->ControlWindow();
    ASSERT_EQ(Siteable(band_)->SetSite(static_cast<IOleWindow*>(otherSite.Get())), S_OK);
    EXPECT_FALSE(::IsWindow(oldControl));
    EXPECT_EQ(::GetParent(Band()->BandWindow()), otherSite->Window());
    EXPECT_EQ(RunningBrowserMap().GetToolbar(::GetCurrentThreadId()), Band());
}

// The browser's focus protocol: activation focuses the control, the band
// says whether it has the focus, and the site hears of every change.
TEST_F(BandFixture, FocusProtocol) {
    CreateBand();
    win::ComPtr<IInputObject> input;
    ASSERT_EQ(band_.As(&input), S_OK);
    ::SetFocus(site_->Window());
    EXPECT_EQ(input->HasFocusIO(), S_FALSE);
    EXPECT_EQ(input->UIActivateIO(TRUE, nullptr), S_OK);
    EXPECT_EQ(::GetFocus(), Band()->ControlWindow());
    EXPECT_EQ(input->HasFocusIO(), S_OK);
    ::SetFocus(site_->Window());
    EXPECT_EQ(input->HasFocusIO(), S_FALSE);
    EXPECT_EQ(site_->FocusChanges(), (std::vector<bool>{true, false}));
    MSG message = {};
    message.message = WM_KEYDOWN;
    message.wParam = VK_TAB;
    EXPECT_EQ(input->TranslateAcceleratorIO(&message), S_FALSE) << "the browser keeps its keys";
}

}  // namespace
