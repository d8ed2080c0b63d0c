// What the decision matrix asks of the safety balloon. Fetched from the host
// at each use: the host may have none (no window yet, or shutting down).
#pragma once

#include <string>

class IBalloonDisplay {
public:
    enum ShowMode : int {
        kShowForVerdict = 0,  // the page's verdict arrived
        kShowForForm = 1,     // the user is filling in a form
        kShowOnRequest = 2,   // the user asked: the status button's hover or menu
    };

    // Hides the balloon and forgets that it was shown.
    virtual void Hide() = 0;
    // What to show: the colour, a verdict code, its text and the site.
    virtual void Set(int colour, int verdict, const std::string& text, const std::string& site) = 0;
    // Shows the balloon unprompted.
    virtual void Show(int mode) = 0;

protected:
    ~IBalloonDisplay() = default;
};
