// Shared by the user interface tests: a browser stand-in with an attached
// browser helper (from the module's class table), a stand-in rating service
// that answers by itself, and a toolbar band made by the module's class
// table and sited in a stand-in toolbar area.
#pragma once

#include "ie/Browser/BHO.h"
#include "ie/Module/ClassTable.h"
#include "ie/Module/ModuleClasses.h"
#include "ie/UI/MenuBarWnd.h"
#include "ie/UI/Toolbar.h"
#include "tests/support/FakeBandSite.h"
#include "tests/support/FakeBrowser.h"
#include "tests/support/FakeRatingService.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ui_testing {

// Pumps this thread's messages until `done` or the time is up; `done` once more at the end.
inline bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds) {
    const DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start > milliseconds)
            return done();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
    }
    return true;
}

inline void PumpFor(DWORD milliseconds) {
    PumpUntil([] { return false; }, milliseconds);
}

// Runs `action` on the first dialog this thread shows from now on, from
// inside the dialog's own modal loop; the action ends the dialog. Gives up
// (ending nothing) after `milliseconds`.
void WhenDialogShows(std::function<void(HWND dialog)> action, DWORD milliseconds = 5000);
// Clicks a dialog's control as the user would.
inline void ClickControl(HWND dialog, int id) {
    ::SendMessageA(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

template <typename T>
win::ComPtr<T> CreateFromClassTable(REFCLSID clsid, REFIID iid) {
    win::ComPtr<IClassFactory> factory;
    if (FAILED(GetModuleClassObject(clsid, IID_IClassFactory, factory.ReleaseAndGetVoidAddressOf())))
        return nullptr;
    win::ComPtr<T> object;
    if (FAILED(factory->CreateInstance(nullptr, iid, object.ReleaseAndGetVoidAddressOf())))
        return nullptr;
    return object;
}

inline CToolbar* AsBand(const win::ComPtr<IDeskBand>& band) {
    return static_cast<CToolbar*>(band.Get());
}

// Programs the helper starts (new browser windows) write their command
// lines here instead.
class LaunchRecord {
public:
    LaunchRecord() : folder_("QuillonUILaunches"), file_(folder_.Path() + "launches.txt") {
        ::SetEnvironmentVariableA("QUILLON_RECORD_FILE", file_.c_str());
    }
    ~LaunchRecord() { ::SetEnvironmentVariableA("QUILLON_RECORD_FILE", nullptr); }
    static std::string Program() { return testing_support::ExecutableDirectory() + "ArgumentRecorder.exe"; }
    // The arguments after "-new " of each start so far.
    std::vector<std::string> Pages() const {
        std::vector<std::string> pages;
        std::ifstream in(file_);
        for (std::string line; std::getline(in, line);) {
            const std::size_t at = line.find(" -new ");
            pages.push_back(at == std::string::npos ? line : line.substr(at + 6));
        }
        return pages;
    }
    // Waits (pumping) until `count` starts were recorded.
    std::vector<std::string> WaitForPages(std::size_t count, DWORD milliseconds = 10000) const {
        PumpUntil([&] { return Pages().size() >= count; }, milliseconds);
        return Pages();
    }
    void Clear() { std::ofstream(file_, std::ios::trunc); }

private:
    testing_support::ScratchDirectory folder_;
    std::string file_;
};

class BandFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A browser with its helper attached, and a band sited beside it.
    void AttachHelper();
    void DetachHelper();
    void CreateBand(int x = 0, int y = 0, int width = 400);
    void CloseBand();

    CBHO* Helper() const { return static_cast<CBHO*>(helper_.Get()); }
    CToolbar* Band() const { return AsBand(band_); }
    CMenuBarWnd* MenuBar() const { return band_ ? Band()->MenuBar() : nullptr; }
    CStatusButton& Button() const { return MenuBar()->Button(); }

    testing_support::FakeRatingService service_;
    win::ComPtr<testing_support::FakeBrowser> browser_;
    win::ComPtr<IObjectWithSite> helper_;
    win::ComPtr<testing_support::FakeBandSite> site_;
    win::ComPtr<IDeskBand> band_;
};

}  // namespace ui_testing
