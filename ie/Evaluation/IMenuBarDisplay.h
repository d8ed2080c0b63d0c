// What the decision matrix asks of the toolbar's menu bar (its status
// button). The toolbar band owns the menu bar and the user may close it at
// any time: fetch it from the host at each use, never keep the pointer.
#pragma once

class IMenuBarDisplay {
public:
    // Shows a verdict colour (0 green ... 4 darkgrey; -1 shows "off").
    virtual void Set(int colourCode) = 0;
    // A page whose rating was just requested.
    virtual void ShowWaiting() = 0;
    // A page that gets no rating.
    virtual void ShowOff() = 0;

protected:
    ~IMenuBarDisplay() = default;
};
