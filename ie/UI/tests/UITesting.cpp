#include "ie/UI/tests/UITesting.h"

#include "utils/Options/Options.h"

namespace ui_testing {

namespace {

struct DialogWatch {
    std::function<void(HWND)> action;
    DWORD deadline = 0;
};
DialogWatch* g_watch = nullptr;

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
    char name[16] = {};
    ::GetClassNameA(window, name, sizeof name);
    if (std::string(name) == "#32770" && ::IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK LookForDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    if (!g_watch) {
        ::KillTimer(nullptr, timer);
        return;
    }
    HWND dialog = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog && ::GetTickCount() < g_watch->deadline)
        return;
    ::KillTimer(nullptr, timer);
    std::unique_ptr<DialogWatch> watch(g_watch);
    g_watch = nullptr;
    if (dialog)
        watch->action(dialog);
}

}  // namespace

void WhenDialogShows(std::function<void(HWND dialog)> action, DWORD milliseconds) {
    delete g_watch;
    g_watch = new DialogWatch{std::move(action), ::GetTickCount() + milliseconds};
    ::SetTimer(nullptr, 0, 20, &LookForDialog);
}

void BandFixture::SetUp() {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    // The first-run placement of the band is the helper's own test.
    SetOptionBool(OptionScope::PerUser, "Initialized", true);
    service_.AnswerAutomatically(true);
}

void BandFixture::TearDown() {
    CloseBand();
    DetachHelper();
    PumpFor(20);  // deferred releases
    ::CoUninitialize();
}

void BandFixture::AttachHelper() {
    browser_ = testing_support::FakeBrowser::Create();
    helper_ = CreateFromClassTable<IObjectWithSite>(CLSID_QuillonBHO, IID_IObjectWithSite);
    ASSERT_TRUE(helper_);
    Helper()->SetQuitPause(0);
    Helper()->SetBrowserProgram(LaunchRecord::Program());
    ASSERT_EQ(helper_->SetSite(static_cast<IWebBrowser2*>(browser_.Get())), S_OK);
    Helper()->SetEnabled(1);
}

void BandFixture::DetachHelper() {
    if (helper_)
        helper_->SetSite(nullptr);
    helper_.Reset();
    browser_.Reset();
}

void BandFixture::CreateBand(int x, int y, int width) {
    site_ = testing_support::FakeBandSite::Create(testing_support::FakeBandSite::Kind::kWindowOwner, x, y, width);
    band_ = CreateFromClassTable<IDeskBand>(CLSID_QuillonToolbar, IID_IDeskBand);
    ASSERT_TRUE(band_);
    win::ComPtr<IObjectWithSite> siteable;
    ASSERT_EQ(band_.As(&siteable), S_OK);
    ASSERT_EQ(siteable->SetSite(static_cast<IOleWindow*>(site_.Get())), S_OK);
    // The browser places the band's window in its toolbar area and shows it.
    HWND control = nullptr;
    ASSERT_EQ(band_->GetWindow(&control), S_OK);
    ::SetParent(control, site_->Window());
    ASSERT_EQ(band_->ShowDW(TRUE), S_OK);
    ASSERT_TRUE(MenuBar());
}

void BandFixture::CloseBand() {
    if (!band_)
        return;
    band_->CloseDW(0);
    win::ComPtr<IObjectWithSite> siteable;
    if (SUCCEEDED(band_.As(&siteable)))
        siteable->SetSite(nullptr);
    siteable.Reset();
    band_.Reset();
    site_.Reset();
}

}  // namespace ui_testing
