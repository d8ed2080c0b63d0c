// What the safety balloon hangs from: the menu bar of the thread's toolbar
// band and its status button. The band comes and goes with the user, so the
// anchor answers from a fresh look-up at each call.
#pragma once

#include <windows.h>

class IBalloonAnchor {
public:
    // The menu bar window of the thread's band, or null without one.
    virtual HWND MenuBarWindow() = 0;
    // Whether a point (screen coordinates) is on the status button's face.
    virtual bool IsOnStatusFace(POINT screenPoint) = 0;

protected:
    ~IBalloonAnchor() = default;
};

// The band of the calling thread, through the running-browser map.
IBalloonAnchor& ThreadBandAnchor();
