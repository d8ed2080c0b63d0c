// A stand-in for the browser's toolbar area that sites a band: a visible
// host window, IOleWindow for it, and IInputObjectSite recording the band's
// focus changes. Host windows are children of one visible top-level
// "screen" window at the screen's top-left corner, so their client
// coordinates are screen coordinates. Variants refuse IOleWindow or have no window,
// as a broken host would.
#pragma once

#include "utils/Ownership/WinOwnership.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <vector>

namespace testing_support {

class FakeBandSite : public IOleWindow, public IInputObjectSite {
public:
    enum class Kind {
        kWindowOwner,   // IOleWindow with a window
        kNoOleWindow,   // no IOleWindow at all
        kNoWindow,      // IOleWindow whose GetWindow fails
    };

    static constexpr int kScreenWidth = 800;
    static constexpr int kScreenHeight = 300;
    // The shared top-level window the host windows live in.
    static HWND Screen();

    // The host window: at (x, y) of the screen, width x height.
    static win::ComPtr<FakeBandSite> Create(Kind kind = Kind::kWindowOwner, int x = 0, int y = 0,
                                            int width = 400, int height = 26);

    HWND Window() const { return window_.Get(); }
    ULONG References() const { return references_; }
    // The focus changes the band reported, in order (true: it took the focus).
    std::vector<bool> FocusChanges() const { return focusChanges_; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override;
    // IInputObjectSite
    HRESULT STDMETHODCALLTYPE OnFocusChangeIS(IUnknown* object, BOOL focused) override;

private:
    FakeBandSite(Kind kind, int x, int y, int width, int height);
    virtual ~FakeBandSite() = default;

    ULONG references_ = 1;
    Kind kind_;
    win::UniqueWindow window_;
    std::vector<bool> focusChanges_;
};

}  // namespace testing_support
