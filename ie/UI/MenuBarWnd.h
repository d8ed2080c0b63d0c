// The band's menu bar: a plain child window of the toolbar control whose
// only content is the status button. The decision matrix drives it through
// IMenuBarDisplay (a verdict colour, waiting, off); the rating service
// monitor through ShowServiceDown.
#pragma once

#include "ie/Evaluation/IMenuBarDisplay.h"
#include "ie/UI/StatusButton.h"

#include <windows.h>

class CMenuBarWnd final : public IMenuBarDisplay {
public:
    // owner: the COM object that embeds the menu bar (the band), kept alive
    // by the status button across its menu and dialogs; may be null.
    explicit CMenuBarWnd(IUnknown* owner);
    ~CMenuBarWnd();
    CMenuBarWnd(const CMenuBarWnd&) = delete;
    CMenuBarWnd& operator=(const CMenuBarWnd&) = delete;

    // Creates the window as a visible child of parent at rect (parent's
    // client coordinates). False (reported) on failure.
    bool Create(HWND parent, const RECT& rect);
    void Destroy();
    HWND Window() const { return window_; }

    // IMenuBarDisplay
    void Set(int colourCode) override;
    void ShowWaiting() override;
    void ShowOff() override;

    // The rating service is gone (true) or back (false). While it is gone
    // the button shows the service-down face and says why; what the
    // evaluation shows meanwhile is kept and shown once it is back.
    void ShowServiceDown(bool down);

    // The bitmap resource of a verdict colour's face.
    static UINT FaceOfColour(int colourCode);

    int Colour() const { return colour_; }
    bool VerdictShown() const { return verdictShown_; }
    bool ServiceDown() const { return serviceDown_; }
    // The face resource on show, 0 before the first.
    UINT Face() const { return button_.Face(); }
    CStatusButton& Button() { return button_; }

private:
    enum class State { Off, Waiting, Verdict };

    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCreate();
    void OnSize();
    void EraseBackground(HDC dc);
    // Puts the face of the current state (or of the service's absence) on the button.
    void ShowState();

    HWND window_ = nullptr;
    int colour_ = -1;
    CStatusButton button_;
    bool verdictShown_ = false;
    State state_ = State::Off;
    bool serviceDown_ = false;
};
